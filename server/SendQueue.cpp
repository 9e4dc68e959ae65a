#include "SendQueue.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace qornc::server {

SendQueue sendQueueState(int fd, bool finQueued)
{
    // Bytes written and not yet acknowledged, the FIN included. A connection reset before the
    // peer had them all keeps them counted; one closed after keeps none.
    int unacknowledged = 0;
    if (ioctl(fd, SIOCOUTQ, &unacknowledged) != 0)
        return SendQueue::Lost;
    if (unacknowledged <= (finQueued ? 1 : 0))
        return SendQueue::Empty;
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 || info.tcpi_state == TCP_CLOSE)
        return SendQueue::Lost;
    return SendQueue::Waiting;
}

} // namespace qornc::server
