// The program's log: standard output.
#pragma once

#include "LogSink.h"

namespace qornc::server {

// One line per call, flushed at once so that a supervisor or a test reading
// the pipe sees it immediately.
LogSink stdoutLog();

} // namespace qornc::server
