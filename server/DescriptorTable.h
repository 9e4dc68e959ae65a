// The kernel grows a process's descriptor table by doubling it, and once threads share the table
// each growth waits until every core has passed a quiescent point: 10 to 20 ms in which the event
// loop serves nobody, met again at the 1,024th, 2,048th... connection. Grown once, before any
// thread starts, the table costs eight bytes a descriptor and never pauses the loop.
#pragma once

#include <cstddef>
#include <string>

namespace qornc::server {

// Makes room for `descriptors` open at once without the table growing again. Returns why it
// could not, or nothing; the server runs either way, only with those pauses.
[[nodiscard]] std::string reserveDescriptorTable(std::size_t descriptors);

} // namespace qornc::server
