// Per-connection framing of notifications: a notification is a NUL-terminated text of at most
// kNotifyReadSize bytes with its NUL, however the bytes are split across reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class NotificationFramer {
public:
    // Appends bytes as they arrive and returns every notification they complete, in order.
    // Runs of NUL bytes (padding) yield nothing. A text that reaches kNotifyReadSize bytes without
    // a NUL is taken as one notification of its first kNotifyReadSize - 1 bytes, and the rest of
    // it, up to the next NUL, is dropped so that its tail is never read as a notification.
    [[nodiscard]] std::vector<std::string> Feed(std::string_view bytes);
    // The connection has closed: a text still waiting for its NUL is a whole notification all
    // the same (a server that leaves the terminator out still delivers). Empty when none waits.
    [[nodiscard]] std::string Finish();

    // Bytes of an unfinished notification waiting for more data.
    [[nodiscard]] std::size_t pending() const { return m_pending.size(); }

private:
    std::string m_pending;
    bool m_skippingOverlong = false;
};
