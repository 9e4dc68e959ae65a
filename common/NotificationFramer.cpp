#include "common/NotificationFramer.h"

#include "common/Protocol.h"

std::vector<std::string> NotificationFramer::Feed(std::string_view bytes)
{
    std::vector<std::string> complete;
    for (const char byte : bytes) {
        if (m_skippingOverlong) {
            m_skippingOverlong = byte != '\0';
            continue;
        }
        if (byte == '\0') {
            if (!m_pending.empty())
                complete.push_back(std::move(m_pending));
            m_pending.clear();
            continue;
        }
        // A full read without its NUL: the server's buffer overran. Take what one read holds and
        // resynchronise on the next NUL, so the overflow is never parsed as a command of its own.
        if (m_pending.size() == kNotifyReadSize - 1) {
            complete.push_back(std::move(m_pending));
            m_pending.clear();
            m_skippingOverlong = true;
            continue;
        }
        m_pending.push_back(byte);
    }
    return complete;
}

std::string NotificationFramer::Finish()
{
    std::string last = m_skippingOverlong ? std::string() : std::move(m_pending);
    m_pending.clear();
    m_skippingOverlong = false;
    return last;
}
