// The one receive path for every link: the effects of a parsed notification on the client state.
#pragma once

#include <string_view>

struct ClientState;

// Parses text and applies it: a message is queued and g_messageArrived set, and its sender, when
// a line of g_contactSnapshot, is marked online as a presence answer would; a presence answer
// clears g_queryPending, is applied to g_presence and rebuilds g_onlineText (raising
// g_onlineRebuildDue), after which g_lastCommand is 0; "getdata" and "set_mode" only set
// g_lastCommand; a text with no keyword changes nothing.
void HandleNotification(ClientState& state, std::string_view text);
