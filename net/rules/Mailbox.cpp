#include "net/rules/Mailbox.h"

#include <utility>

void Mailbox::Push(InboundMessage message)
{
    if (m_messages.size() >= kCapacity) {
        m_messages.pop_front();
        ++m_dropped;
    }
    m_messages.push_back(std::move(message));
}

std::deque<InboundMessage> Mailbox::TakeAll()
{
    std::deque<InboundMessage> taken;
    taken.swap(m_messages);
    return taken;
}

std::size_t Mailbox::TakeDroppedCount()
{
    return std::exchange(m_dropped, 0);
}
