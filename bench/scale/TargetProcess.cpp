#include "TargetProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Sockets.h"

using namespace std::chrono_literals;

namespace {

bool Answers(std::uint16_t port)
{
    const UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    endpoint.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) == 0;
}

bool Exited(pid_t pid, std::chrono::milliseconds within)
{
    const auto end = std::chrono::steady_clock::now() + within;
    do {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

}  // namespace

TargetProcess::TargetProcess(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& logPath, std::uint16_t port)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (m_pid < 0)
        return;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!m_ready && std::chrono::steady_clock::now() < end) {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        m_ready = Answers(port);
        if (!m_ready)
            std::this_thread::sleep_for(20ms);
    }
}

TargetProcess::~TargetProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    if (!Exited(m_pid, 10s)) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

long TargetProcess::RssKib() const
{
    std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:" && status >> value)
            return value;
        status.ignore(4096, '\n');
    }
    return 0;
}

long long TargetProcess::CpuNanoseconds() const
{
    long long total = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(m_pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long onCpu = 0;
        if (schedstat >> onCpu)
            total += onCpu;
    }
    return total;
}
