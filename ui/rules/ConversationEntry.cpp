#include "ui/rules/ConversationEntry.h"

std::string ComposeConversation(std::string_view oldText, std::string_view name, std::string_view text)
{
    return AppendToConversation(oldText, ConversationEntry(name, text));
}

std::string ConversationEntry(std::string_view name, std::string_view text)
{
    std::string entry;
    entry.append(name).append(": ").append(text).append("\r\n\r\n");
    return entry;
}

std::string AppendToConversation(std::string_view oldText, std::string_view entries)
{
    std::string composed;
    // Past the limit the view starts over, so a long chat never grows the control without bound.
    if (oldText.size() < kConversationKeepLimit)
        composed.append(oldText);
    composed.append(entries);
    return composed;
}
