// The inbound mailbox's message queue: messages wait here, in arrival order, until the idle pump
// shows them. Bounded so that a flood cannot grow memory without limit.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

struct InboundMessage {
    std::string senderName;
    std::string messageText;
};

class Mailbox {
public:
    static constexpr std::size_t kCapacity = 4096;

    // Past the bound the oldest waiting message is dropped (and counted): the newest messages
    // are the ones a returning user needs to read.
    void Push(InboundMessage message);
    // Takes every waiting message, oldest first.
    [[nodiscard]] std::deque<InboundMessage> TakeAll();

    [[nodiscard]] bool empty() const { return m_messages.empty(); }
    [[nodiscard]] std::size_t size() const { return m_messages.size(); }
    // Messages dropped since the last call; resets the count.
    [[nodiscard]] std::size_t TakeDroppedCount();

private:
    std::deque<InboundMessage> m_messages;
    std::size_t m_dropped = 0;
};
