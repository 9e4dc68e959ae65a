#include "DescriptorTable.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace qornc::server {

std::string reserveDescriptorTable(std::size_t descriptors)
{
    if (descriptors == 0)
        return {};
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (probe < 0)
        return std::string("cannot open /dev/null: ") + std::strerror(errno);
    // A copy at the highest number wanted makes the kernel size the table for all below it;
    // closing the copy keeps the size.
    const auto top = static_cast<int>(std::min<std::size_t>(descriptors, std::numeric_limits<int>::max()) - 1);
    const int highest = ::fcntl(probe, F_DUPFD_CLOEXEC, top);
    const int error = errno;
    ::close(probe);
    if (highest < 0)
        return "cannot make room for " + std::to_string(descriptors) + " descriptors: " + std::strerror(error);
    ::close(highest);
    return {};
}

} // namespace qornc::server
