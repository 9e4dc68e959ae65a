// Whether what was written on a TCP socket has reached its peer: the kernel's send queue holds
// every byte not yet acknowledged, and a connection reset meanwhile will never see them through.
#pragma once

namespace qornc::server {

enum class SendQueue { Empty, Waiting, Lost };

// `finQueued`: the sending side was shut down, so the queue also holds the FIN, which the peer
// need not acknowledge for the text to be there.
SendQueue sendQueueState(int fd, bool finQueued);

} // namespace qornc::server
