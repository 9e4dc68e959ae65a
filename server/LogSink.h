#pragma once

#include <functional>
#include <string>

namespace qornc::server {

// Where log lines go: stdout in the program, a capture buffer in tests.
using LogSink = std::function<void(const std::string&)>;

// One line per call, flushed at once so that a supervisor or a test reading
// the pipe sees it immediately.
LogSink stdoutLog();

} // namespace qornc::server
