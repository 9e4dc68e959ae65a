#include "DeliveryText.h"

#include <charconv>

#include "common/NotificationParser.h"

namespace {

// Reads the digits behind prefix at the front of text; moves text past them.
std::optional<std::uint32_t> TakeNumber(std::string_view& text, char prefix)
{
    if (text.empty() || text.front() != prefix)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() + 1)
        return std::nullopt;
    text.remove_prefix(std::size_t(end - text.data()));
    return value;
}

}  // namespace

std::string SequencedText(std::uint32_t run, std::uint32_t sequence, std::size_t length)
{
    std::string text = "r" + std::to_string(run) + "s" + std::to_string(sequence);
    if (text.size() < length) {
        text += ' ';
        text.resize(length, 'x');
    }
    return text;
}

Delivery ReadDelivery(std::string_view text)
{
    const Notification notification = ParseNotification(text);
    Delivery delivery;
    if (notification.kind == NotificationKind::GetBuddy) {
        delivery.kind = DeliveryKind::GetBuddy;
        delivery.name = notification.buddyName;
        delivery.online = notification.buddyOnline;
    } else if (notification.kind == NotificationKind::Message) {
        delivery.kind = DeliveryKind::Message;
        delivery.name = notification.senderName;
        std::string_view body = notification.messageText;
        const auto run = TakeNumber(body, 'r');
        const auto sequence = TakeNumber(body, 's');
        if (run && sequence && (body.empty() || body.front() == ' ')) {
            delivery.run = run;
            delivery.sequence = *sequence;
        }
    }
    return delivery;
}
