// The client state: every process-wide variable of the client in one record, with its capacity
// and initial value. Network handlers and timers store here; the idle pump applies it.
#pragma once

#include <cstddef>
#include <string>

#include "common/FixedText.h"
#include "net/rules/ConnectionState.h"
#include "net/rules/Mailbox.h"
#include "common/NotificationParser.h"
#include "presence/rules/PresenceTable.h"

inline constexpr std::size_t kTextBufferSize = 4096;

struct ClientState {
    // Identity, from info.cfg or the setup dialog.
    FixedText<128> g_userId;
    FixedText<128> g_password;
    FixedText<24> g_serverIp;

    // Contact list texts, CR LF line ends.
    FixedText<kTextBufferSize> g_listText;
    FixedText<kTextBufferSize> g_contactSnapshot;
    FixedText<kTextBufferSize> g_saveText;
    // list.cfg held more than fits: it is rewritten at exit only if the list was changed.
    int g_listTruncated = 0;

    // Inbound mailbox.
    int g_lastCommand = 0;
    Mailbox g_messages;
    int g_messageArrived = 0;
    FixedText<kBuddyNameCapacity> g_buddyName;
    int g_buddyOnline = 0;

    // Presence.
    PresenceTable g_presence;
    std::string g_onlineText;     // every online name followed by CR LF
    int g_onlineRebuildDue = 0;   // the Online list must be rebuilt from g_onlineText, even to empty
    int g_refreshDue = 0;
    int g_autoRefresh = 0;
    int g_queryPending = 0;

    // Server link.
    ConnectionState g_link;       // g_link.g_connected and the two buttons
    int g_acceptCount = 0;        // delivery connections open now

    // Main window and tray.
    int g_listLocked = 0;
    int g_windowHidden = 0;
    int g_trayActivated = 0;
    int g_alertActive = 0;
    int g_blinkPhase = 0;
};
