// The program under measurement, the chat server or the bare relay, run as a child process:
// started, waited for until its request port answers, sampled from /proc, stopped.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class TargetProcess {
public:
    // Output goes to logPath. Waits up to ten seconds for 127.0.0.1:port to accept.
    TargetProcess(const std::string& program, const std::vector<std::string>& arguments, const std::string& logPath,
                  std::uint16_t port);
    ~TargetProcess();
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;

    [[nodiscard]] bool running() const { return m_ready; }
    // Resident memory now, in KiB.
    [[nodiscard]] long RssKib() const;
    // CPU time of all its threads so far, in nanoseconds (scheduler accounting, not clock ticks,
    // so that an idle server's few microseconds still show).
    [[nodiscard]] long long CpuNanoseconds() const;

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};
