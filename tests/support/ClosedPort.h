// A loopback port that nobody listens on: connecting to it is refused.
#pragma once

#include <QtGlobal>

[[nodiscard]] quint16 ClosedPort();
