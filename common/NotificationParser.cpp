#include "common/NotificationParser.h"

#include <array>
#include <utility>

#include "common/Protocol.h"
#include "common/WordSplit.h"

namespace {

std::string Bounded(std::string_view text, std::size_t capacity)
{
    return std::string(text.substr(0, capacity - 1));
}

NotificationKind KindOf(std::string_view firstWord)
{
    // Substring search in this order, so a word holding two keywords is read as the first listed.
    static constexpr std::array<std::pair<std::string_view, NotificationKind>, 4> kKeywords{{
        {kMessageNotification, NotificationKind::Message},
        {kGetDataNotification, NotificationKind::GetData},
        {kSetModeNotification, NotificationKind::SetMode},
        {kGetBuddyNotification, NotificationKind::GetBuddy},
    }};
    for (const auto& [keyword, kind] : kKeywords) {
        if (firstWord.find(keyword) != std::string_view::npos)
            return kind;
    }
    return NotificationKind::None;
}

void ParseMessage(std::string_view afterFirstSpace, Notification& parsed)
{
    const WordSplit field = SplitFirstWord(afterFirstSpace);
    parsed.senderName = Bounded(field.word, kSenderNameCapacity);
    parsed.messageText = Bounded(field.rest, kMessageTextCapacityIn);
}

// The status is tested as the whole word the server sent, not its first seven characters: cutting
// it first would turn a long status that does say "true" into an offline answer.
void ParseGetBuddy(std::string_view afterFirstSpace, Notification& parsed)
{
    const WordSplit field = SplitFirstWord(afterFirstSpace);
    parsed.buddyOnline = field.word.find(kOnlineWord) != std::string_view::npos;
    parsed.hasBuddyName = field.separated;
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
