// What the load generator writes in a message and reads back from a delivery. A message text
// is "r<run>s<sequence>" followed by filler, so that a delivery names the message it carries
// and a late delivery of an earlier run is told apart from this run's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class DeliveryKind { Message, GetBuddy, Other };

struct Delivery {
    DeliveryKind kind = DeliveryKind::Other;
    std::string name;  // Message: the sender; GetBuddy: the contact
    bool online = false;  // GetBuddy
    std::optional<std::uint32_t> run;  // Message: from a text of ours
    std::uint32_t sequence = 0;
    // Set by the receiver: the rank of the connection that carried it among all accepted, the
    // order a client that reads its connections oldest first shows them in.
    long connection = 0;
};

// filler pads the text to that many characters where it is longer than the tag.
[[nodiscard]] std::string SequencedText(std::uint32_t run, std::uint32_t sequence, std::size_t length = 0);
// text up to its first NUL, read by the client's own rules.
[[nodiscard]] Delivery ReadDelivery(std::string_view text);
