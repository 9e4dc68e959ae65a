#include "SendQueue.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace qornc::server {

SendQueue sendQueueState(int fd)
{
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0)
        return SendQueue::Lost;
    // The peer may have closed its side once it had the text; a reset leaves the socket closed.
    if (info.tcpi_state != TCP_ESTABLISHED && info.tcpi_state != TCP_CLOSE_WAIT)
        return SendQueue::Lost;
    int unacknowledged = 0;
    if (ioctl(fd, SIOCOUTQ, &unacknowledged) != 0)
        return SendQueue::Lost;
    return unacknowledged == 0 ? SendQueue::Empty : SendQueue::Waiting;
}

} // namespace qornc::server
