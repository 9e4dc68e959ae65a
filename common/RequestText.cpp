#include "common/RequestText.h"

#include "common/WordSplit.h"

RequestHead ParseRequestHead(std::string_view text)
{
    RequestHead head;
    const WordSplit first = SplitFirstWord(text);
    head.keyword = first.word;
    if (!first.separated)
        return head;
    const WordSplit second = SplitFirstWord(first.rest);
    head.name = second.word;
    head.hasName = !second.word.empty();
    head.afterName = second.rest;
    head.hasAfterName = second.separated;
    return head;
}

std::optional<std::string_view> FieldsAfterPassword(std::string_view afterName, std::string_view password)
{
    if (password.empty() || afterName.size() <= password.size())
        return std::nullopt;
    if (afterName.substr(0, password.size()) != password || afterName[password.size()] != ' ')
        return std::nullopt;
    return afterName.substr(password.size() + 1);
}

std::vector<std::string_view> PasswordCandidates(std::string_view afterName, std::size_t most)
{
    std::vector<std::string_view> candidates;
    for (auto space = afterName.find(' '); space != std::string_view::npos && candidates.size() < most;
         space = afterName.find(' ', space + 1)) {
        if (space > 0)
            candidates.push_back(afterName.substr(0, space));
    }
    return candidates;
}

std::optional<MessageFields> ParseMessageFields(std::string_view fields)
{
    const WordSplit split = SplitFirstWord(fields);
    if (split.word.empty())
        return std::nullopt;
    return MessageFields{split.word, split.rest};
}
