// Bounded waiting with the event loop running, so sockets make progress while a test waits.
#pragma once

#include <functional>

// Spins the event loop until done() holds or timeoutMs passes; returns done()'s last value.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Spins the event loop for the whole of ms: for checking that something does not happen.
void Settle(int ms = 100);
