// Small measuring helpers shared by the bench programs.
#pragma once

#include <QString>

#include <chrono>
#include <functional>

// Peak resident set of this process so far, in KiB.
long PeakRssKiB();
// Spins the event loop until done() or the limit; returns done().
bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
// A TCP port that was free a moment ago on 127.0.0.1.
quint16 FreePort();
