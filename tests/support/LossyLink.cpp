#include "LossyLink.h"

#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

namespace qornc::test {

namespace {

constexpr std::size_t kLargestPacket = 65'536;

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::string failure(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

} // namespace

LossyLink::LossyLink(const std::string& namespaceA, const std::string& namespaceB, const std::string& device,
                     std::chrono::milliseconds delay, double loss, std::uint32_t seed, std::string& error)
    : delay_(delay)
    , drop_(std::clamp(loss, 0.0, 1.0))
    , random_(seed)
{
    tunA_ = openTun(namespaceA, device, error);
    if (error.empty())
        tunB_ = openTun(namespaceB, device, error);
    aToB_.from = bToA_.to = tunA_;
    aToB_.to = bToA_.from = tunB_;
}

LossyLink::~LossyLink()
{
    for (const int fd : {tunA_, tunB_}) {
        if (fd >= 0)
            ::close(fd);
    }
}

int LossyLink::openTun(const std::string& namespacePath, const std::string& device, std::string& error)
{
    // A TUN device is made in the namespace of the thread that creates it; the thread comes back
    // to its own afterwards, with the device's descriptor still reaching into the other.
    const Descriptor home(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC));
    const Descriptor target(::open(namespacePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (home.get() < 0 || target.get() < 0) {
        error = failure("cannot open the namespace " + namespacePath);
        return -1;
    }
    if (::setns(target.get(), CLONE_NEWNET) != 0) {
        error = failure("cannot enter " + namespacePath);
        return -1;
    }
    int fd = ::open("/dev/net/tun", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ifreq request{};
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::strncpy(request.ifr_name, device.c_str(), IFNAMSIZ - 1);
    if (fd < 0 || ::ioctl(fd, TUNSETIFF, &request) != 0) {
        error = failure("cannot make the TUN device " + device + " in " + namespacePath);
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (::setns(home.get(), CLONE_NEWNET) != 0 && error.empty())
        error = failure("cannot go back to the first namespace");
    return fd;
}

void LossyLink::run(int control)
{
    std::string pending;
    for (;;) {
        pollfd waits[] = {{tunA_, POLLIN, 0}, {tunB_, POLLIN, 0}, {control, POLLIN, 0}};
        const int ready = ::poll(waits, 3, waitMs(std::chrono::steady_clock::now()));
        if (ready < 0 && errno != EINTR) {
            std::cerr << failure("poll") << std::endl;
            return;
        }
        if (waits[0].revents & POLLIN)
            take(aToB_);
        if (waits[1].revents & POLLIN)
            take(bToA_);
        if (waits[2].revents & (POLLIN | POLLHUP)) {
            char chunk[256];
            const ssize_t size = ::read(control, chunk, sizeof chunk);
            if (size <= 0)
                return;
            pending.append(chunk, static_cast<std::size_t>(size));
            for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
                if (!obey(pending.substr(0, end)))
                    std::cerr << "lossy-link: unknown command: " << pending.substr(0, end) << std::endl;
                pending.erase(0, end + 1);
            }
        }
        const TimePoint now = std::chrono::steady_clock::now();
        deliverDue(aToB_, now);
        deliverDue(bToA_, now);
    }
}

void LossyLink::take(Direction& direction)
{
    // Everything queued in the device now, so that a burst is not spread over many polls.
    for (;;) {
        std::vector<char> bytes(kLargestPacket);
        const ssize_t size = ::read(direction.from, bytes.data(), bytes.size());
        if (size <= 0)
            return;
        if (drop_(random_)) {
            ++direction.counts.dropped;
            continue;
        }
        bytes.resize(static_cast<std::size_t>(size));
        direction.inFlight.push_back({std::chrono::steady_clock::now() + delay_, std::move(bytes)});
    }
}

void LossyLink::deliverDue(Direction& direction, TimePoint now)
{
    // The delay is the same for all, so packets fall due in the order they came.
    while (!direction.inFlight.empty() && direction.inFlight.front().due <= now) {
        const std::vector<char>& bytes = direction.inFlight.front().bytes;
        if (::write(direction.to, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()))
            ++direction.counts.passed;
        else
            ++direction.counts.dropped; // the device's queue was full: a loss like any other
        direction.inFlight.pop_front();
    }
}

bool LossyLink::obey(const std::string& line)
{
    double loss = 0;
    if (std::sscanf(line.c_str(), "loss %lf", &loss) == 1) {
        drop_ = std::bernoulli_distribution(std::clamp(loss, 0.0, 1.0));
        return true;
    }
    if (line == "counts") {
        std::cout << countsText() << std::endl;
        return true;
    }
    return false;
}

int LossyLink::waitMs(TimePoint now) const
{
    std::optional<TimePoint> next;
    for (const Direction* direction : {&aToB_, &bToA_}) {
        if (!direction->inFlight.empty() && (!next || direction->inFlight.front().due < *next))
            next = direction->inFlight.front().due;
    }
    if (!next)
        return -1;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
    return static_cast<int>(std::max<long long>(wait, 0));
}

std::string LossyLink::countsText() const
{
    return "a->b passed " + std::to_string(aToB_.counts.passed) + " dropped " + std::to_string(aToB_.counts.dropped)
         + ", b->a passed " + std::to_string(bToA_.counts.passed) + " dropped "
         + std::to_string(bToA_.counts.dropped);
}

} // namespace qornc::test
