#include "presence/rules/NotificationHandler.h"

#include "app/rules/ClientState.h"
#include "common/NotificationParser.h"
#include "presence/rules/ContactText.h"

namespace {

void ApplyMessage(ClientState& state, Notification& parsed)
{
    state.g_lastCommand = static_cast<int>(NotificationKind::Message);
    // A contact who writes is online, asked about or not (one who logged in after the last
    // refresh could not be answered otherwise). Through the table, so an offline answer still
    // takes them off.
    if (HasLine(state.g_contactSnapshot.view(), parsed.senderName) &&
        state.g_presence.ApplyPresence(parsed.senderName, true) == PresenceTable::Change::Added) {
        state.g_onlineText = state.g_presence.BuildOnlineText();
        state.g_onlineRebuildDue = 1;
    }
    state.g_messages.Push({std::move(parsed.senderName), std::move(parsed.messageText)});
    state.g_messageArrived = 1;
}

void ApplyGetBuddy(ClientState& state, const Notification& parsed)
{
    // Any answer, even a malformed one, means the server is done with the query.
    state.g_queryPending = 0;
    // Without a name there is no contact to mark, and a name holding a line end is no contact of
    // ours (contacts are lines): stored, it would split into bogus rows of the Online list.
    if (parsed.hasBuddyName && parsed.buddyName.find_first_of("\r\n") == std::string::npos) {
        state.g_buddyName.assign(parsed.buddyName);
        state.g_buddyOnline = parsed.buddyOnline ? 1 : 0;
        state.g_presence.ApplyPresence(parsed.buddyName, parsed.buddyOnline);
    }
    state.g_onlineText = state.g_presence.BuildOnlineText();
    // Raised even for an empty text: the last contact going offline must empty the Online list.
    state.g_onlineRebuildDue = 1;
    state.g_lastCommand = 0;
}

}  // namespace

void HandleNotification(ClientState& state, std::string_view text)
{
    Notification parsed = ParseNotification(text);
    switch (parsed.kind) {
    case NotificationKind::None:
        return;
    case NotificationKind::Message:
        ApplyMessage(state, parsed);
        return;
    case NotificationKind::GetData:
    case NotificationKind::SetMode:
        state.g_lastCommand = static_cast<int>(parsed.kind);
        return;
    case NotificationKind::GetBuddy:
        ApplyGetBuddy(state, parsed);
        return;
    }
}
