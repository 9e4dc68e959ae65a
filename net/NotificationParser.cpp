#include "net/NotificationParser.h"

#include <array>
#include <utility>

namespace {

std::string Bounded(std::string_view text, std::size_t capacity)
{
    return std::string(text.substr(0, capacity - 1));
}

NotificationKind KindOf(std::string_view firstWord)
{
    // Substring search in this order, so a word holding two keywords is read as the first listed.
    static constexpr std::array<std::pair<std::string_view, NotificationKind>, 4> kKeywords{{
        {"message", NotificationKind::Message},
        {"getdata", NotificationKind::GetData},
        {"set_mode", NotificationKind::SetMode},
        {"getbuddy", NotificationKind::GetBuddy},
    }};
    for (const auto& [keyword, kind] : kKeywords) {
        if (firstWord.find(keyword) != std::string_view::npos)
            return kind;
    }
    return NotificationKind::None;
}

// The word after the first one, and whether a space follows it.
struct SplitField {
    std::string_view word;
    std::string_view rest;
    bool hasRest = false;
};

SplitField SplitAfterWord(std::string_view afterFirstSpace)
{
    const std::size_t space = afterFirstSpace.find(' ');
    if (space == std::string_view::npos)
        return {afterFirstSpace, {}, false};
    return {afterFirstSpace.substr(0, space), afterFirstSpace.substr(space + 1), true};
}

void ParseMessage(std::string_view afterFirstSpace, Notification& parsed)
{
    const SplitField field = SplitAfterWord(afterFirstSpace);
    parsed.senderName = Bounded(field.word, kSenderNameCapacity);
    parsed.messageText = Bounded(field.rest, kMessageTextCapacityIn);
}

// The status is tested as the whole word the server sent, not its first seven characters: cutting
// it first would turn a long status that does say "true" into an offline answer.
void ParseGetBuddy(std::string_view afterFirstSpace, Notification& parsed)
{
    const SplitField field = SplitAfterWord(afterFirstSpace);
    parsed.buddyOnline = field.word.find("true") != std::string_view::npos;
    parsed.hasBuddyName = field.hasRest;
    parsed.buddyName = Bounded(field.rest, kBuddyNameCapacity);
}

}  // namespace

Notification ParseNotification(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    const std::size_t firstSpace = text.find(' ');
    const std::string_view firstWord = text.substr(0, firstSpace).substr(0, kFirstWordCapacity - 1);
    Notification parsed;
    parsed.kind = KindOf(firstWord);
    if (firstSpace == std::string_view::npos)
        return parsed;
    const std::string_view afterFirstSpace = text.substr(firstSpace + 1);
    if (parsed.kind == NotificationKind::Message)
        ParseMessage(afterFirstSpace, parsed);
    else if (parsed.kind == NotificationKind::GetBuddy)
        ParseGetBuddy(afterFirstSpace, parsed);
    return parsed;
}
