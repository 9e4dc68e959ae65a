#include "presence/rules/NotificationHandler.h"

#include "net/rules/LinkState.h"
#include "presence/rules/ContactText.h"
#include "presence/rules/PresenceState.h"

namespace {

void ApplyMessage(LinkState& link, PresenceState& presence, Notification& parsed)
{
    // A contact who writes is online, asked about or not (one who logged in after the last
    // refresh could not be answered otherwise). Through the table, so an offline answer still
    // takes them off.
    if (HasLine(presence.g_contactSnapshot.view(), parsed.senderName) &&
        presence.g_presence.ApplyPresence(parsed.senderName, true) == PresenceTable::Change::Added) {
        presence.g_onlineText = presence.g_presence.BuildOnlineText();
        presence.g_onlineRebuildDue = 1;
    }
    link.g_messages.Push({std::move(parsed.senderName), std::move(parsed.messageText)});
    link.g_messageArrived = 1;
}

void ApplyGetBuddy(LinkState& link, PresenceState& presence, const Notification& parsed)
{
    // Any answer, even a malformed one, means the server is done with the query.
    link.g_queryPending = 0;
    // Without a name there is no contact to mark, and a name holding a line end is no contact of
    // ours (contacts are lines): stored, it would split into bogus rows of the Online list.
    if (parsed.hasBuddyName && parsed.buddyName.find_first_of("\r\n") == std::string::npos)
        presence.g_presence.ApplyPresence(parsed.buddyName, parsed.buddyOnline);
    presence.g_onlineText = presence.g_presence.BuildOnlineText();
    // Raised even for an empty text: the last contact going offline must empty the Online list.
    presence.g_onlineRebuildDue = 1;
}

}  // namespace

void HandleNotification(LinkState& link, PresenceState& presence, Notification parsed)
{
    switch (parsed.kind) {
    case NotificationKind::Message:
        ApplyMessage(link, presence, parsed);
        return;
    case NotificationKind::GetBuddy:
        ApplyGetBuddy(link, presence, parsed);
        return;
    case NotificationKind::None:
    case NotificationKind::GetData:
    case NotificationKind::SetMode:
        return;
    }
}
