// Peer addresses as text. A dual-stack socket shows an IPv4 peer as "::ffff:a.b.c.d"; that peer is
// the same host as "a.b.c.d", and a reply or a trust check must see it so.
#pragma once

#include <string>
#include <string_view>

// The plain IPv4 text of an IPv4-mapped IPv6 address; any other address text unchanged.
[[nodiscard]] std::string PlainAddressText(std::string_view address);
