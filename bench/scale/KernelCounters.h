// The network namespace's own TCP counters, read from /proc/net/netstat: a connection refused
// because an accept queue was full costs its sender a second-long retransmission, which would
// pass for slowness of whatever was being measured.
#pragma once

#include <string_view>

// The value of one "TcpExt:" counter, such as ListenOverflows; -1 when it cannot be read.
[[nodiscard]] long TcpExtCounter(std::string_view name);
// The same, from the two lines of a netstat file's "TcpExt:" pair.
[[nodiscard]] long TcpExtCounterIn(std::string_view names, std::string_view values, std::string_view name);
