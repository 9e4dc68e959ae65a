#include "MachineLimits.h"

#include <sys/resource.h>
#include <unistd.h>

namespace qornc::server {

MachineLimits raiseAndReadMachineLimits()
{
    MachineLimits machine;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        if (limit.rlim_cur < limit.rlim_max) {
            const rlim_t soft = limit.rlim_cur;
            limit.rlim_cur = limit.rlim_max;
            if (setrlimit(RLIMIT_NOFILE, &limit) != 0)
                limit.rlim_cur = soft;
        }
        if (limit.rlim_cur != RLIM_INFINITY)
            machine.descriptors = static_cast<std::size_t>(limit.rlim_cur);
        else
            machine.descriptors = 1'048'576;
    }
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        machine.memoryBytes = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    return machine;
}

} // namespace qornc::server
