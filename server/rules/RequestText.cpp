#include "RequestText.h"

namespace qornc::server {

WordSplit splitFirstWord(std::string_view text)
{
    const auto space = text.find(' ');
    if (space == std::string_view::npos)
        return {text, {}, false};
    return {text.substr(0, space), text.substr(space + 1), true};
}

RequestHead parseHead(std::string_view text)
{
    RequestHead head;
    const WordSplit first = splitFirstWord(text);
    head.keyword = first.word;
    if (!first.separated)
        return head;
    const WordSplit second = splitFirstWord(first.rest);
    head.name = second.word;
    head.hasName = !second.word.empty();
    head.afterName = second.rest;
    head.hasAfterName = second.separated;
    return head;
}

std::optional<std::string_view> fieldsAfterPassword(std::string_view afterName,
                                                    std::string_view password)
{
    if (password.empty() || afterName.size() <= password.size())
        return std::nullopt;
    if (afterName.substr(0, password.size()) != password || afterName[password.size()] != ' ')
        return std::nullopt;
    return afterName.substr(password.size() + 1);
}

std::vector<std::string_view> passwordCandidates(std::string_view afterName, std::size_t most)
{
    std::vector<std::string_view> candidates;
    for (auto space = afterName.find(' '); space != std::string_view::npos && candidates.size() < most;
         space = afterName.find(' ', space + 1)) {
        if (space > 0)
            candidates.push_back(afterName.substr(0, space));
    }
    return candidates;
}

std::optional<MessageFields> parseMessageFields(std::string_view fields)
{
    const WordSplit split = splitFirstWord(fields);
    if (split.word.empty())
        return std::nullopt;
    return MessageFields{split.word, split.rest};
}

} // namespace qornc::server
