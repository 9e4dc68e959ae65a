// The server link's own state: who logs in where, the request connection as the window shows it,
// a presence query still unanswered, and the inbound mailbox that the idle pump empties. The
// layers above store into it; the link itself reads it.
#pragma once

#include <cstddef>

#include "common/FixedText.h"
#include "net/rules/ConnectionState.h"
#include "net/rules/Mailbox.h"

inline constexpr std::size_t kUserIdCapacity = 128;
inline constexpr std::size_t kPasswordCapacity = 128;
inline constexpr std::size_t kServerIpCapacity = 24;

struct LinkState {
    // Identity, from info.cfg or the setup dialog: every request carries it.
    FixedText<kUserIdCapacity> g_userId;
    FixedText<kPasswordCapacity> g_password;
    FixedText<kServerIpCapacity> g_serverIp;

    ConnectionState g_link;     // g_link.g_connected and the two buttons
    int g_queryPending = 0;     // a presence refresh went out and no answer came: sending waits

    Mailbox g_messages;         // arrived messages, oldest first
    int g_messageArrived = 0;
};
