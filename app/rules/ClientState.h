// The client state: every process-wide variable of the client, composed of the records each
// subsystem owns. Network handlers and timers store in them; the idle pump applies them. A layer
// is handed only the records of its own layer and those below it.
#pragma once

#include "net/rules/LinkState.h"
#include "presence/rules/PresenceState.h"
#include "ui/rules/WindowState.h"

struct ClientState : LinkState, PresenceState, WindowState {};
