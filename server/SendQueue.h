// Whether what was written on a TCP socket has reached its peer: the kernel's send queue holds
// every byte not yet acknowledged, and a connection reset meanwhile will never see them through.
#pragma once

namespace qornc::server {

enum class SendQueue { Empty, Waiting, Lost };

SendQueue sendQueueState(int fd);

} // namespace qornc::server
