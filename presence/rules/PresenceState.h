// The presence side's own state: the contact list as loaded, edited and saved, the table of who
// is online, the text the Online list is rebuilt from, and when the next refresh runs.
#pragma once

#include <string>

#include "common/FixedText.h"
#include "presence/rules/PresenceTable.h"

struct PresenceState {
    // Contact list texts, CR LF line ends.
    FixedText<kTextBufferSize> g_listText;
    FixedText<kTextBufferSize> g_contactSnapshot;
    FixedText<kTextBufferSize> g_saveText;

    PresenceTable g_presence;
    std::string g_onlineText;     // every online name followed by CR LF
    int g_onlineRebuildDue = 0;   // the Online list must be rebuilt from g_onlineText, even to empty
    int g_refreshDue = 0;
    int g_autoRefresh = 0;
};
