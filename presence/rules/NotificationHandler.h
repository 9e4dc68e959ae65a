// What a parsed notification changes in the state. The link reports what it parsed; this is
// where the presence side applies it, storing only: the idle pump shows it.
#pragma once

#include "common/NotificationParser.h"

struct LinkState;
struct PresenceState;

// A message is queued and g_messageArrived set, and its sender, when a line of g_contactSnapshot,
// is marked online as a presence answer would; a presence answer clears g_queryPending, is
// applied to g_presence and rebuilds g_onlineText (raising g_onlineRebuildDue); "getdata",
// "set_mode" and a text with no keyword change nothing.
void HandleNotification(LinkState& link, PresenceState& presence, Notification parsed);
