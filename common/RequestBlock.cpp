#include "common/RequestBlock.h"

#include <initializer_list>

#include "common/Protocol.h"

namespace {

std::string JoinWords(std::initializer_list<std::string_view> words)
{
    std::string text;
    for (const std::string_view word : words) {
        if (!text.empty())
            text += ' ';
        text.append(word);
    }
    return text;
}

}  // namespace

std::optional<std::string> BuildRequestBlock(std::string_view text, std::size_t textCapacity, std::size_t blockSize)
{
    // An embedded NUL would end the text early on the server side, sending a cut field.
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    if (text.size() + 1 > textCapacity || text.size() + 1 > blockSize)
        return std::nullopt;
    std::string block(text);
    block.resize(blockSize, '\0');
    return block;
}

std::optional<std::string> LoginBlock(std::string_view userId, std::string_view password, std::size_t blockSize)
{
    return BuildRequestBlock(JoinWords({kLoginKeyword, userId, password}), kLoginTextCapacity, blockSize);
}

std::optional<std::string> LogoutBlock(std::string_view userId, std::string_view password)
{
    return BuildRequestBlock(JoinWords({kLogoutKeyword, userId, password}), kLogoutTextCapacity, kLogoutBlockSize);
}

std::optional<std::string> GetBuddyBlock(std::string_view userId, std::string_view password, std::string_view contact)
{
    return BuildRequestBlock(JoinWords({kGetBuddyKeyword, userId, password, contact}), kGetBuddyTextCapacity,
                             kGetBuddyBlockSize);
}

std::optional<std::string> MessageBlock(std::string_view userId, std::string_view password,
                                        std::string_view recipient, std::string_view text)
{
    return BuildRequestBlock(JoinWords({kMessageKeyword, userId, password, recipient, text}), kMessageTextCapacity,
                             kMessageBlockSize);
}
