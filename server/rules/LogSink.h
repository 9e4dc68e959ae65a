#pragma once

#include <functional>
#include <string>

namespace qornc::server {

// Where log lines go: stdout in the program, a capture buffer in tests.
using LogSink = std::function<void(const std::string&)>;

} // namespace qornc::server
