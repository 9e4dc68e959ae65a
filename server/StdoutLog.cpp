#include "StdoutLog.h"

#include <cstdio>

namespace qornc::server {

LogSink stdoutLog()
{
    return [](const std::string& line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
}

} // namespace qornc::server
