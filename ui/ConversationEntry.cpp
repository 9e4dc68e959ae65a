#include "ui/ConversationEntry.h"

std::string ComposeConversation(std::string_view oldText, std::string_view name, std::string_view text)
{
    std::string composed;
    // Past the limit the view starts over, so a long chat never grows the control without bound.
    if (oldText.size() < kConversationKeepLimit)
        composed.append(oldText);
    composed.append(name).append(": ").append(text).append("\r\n\r\n");
    return composed;
}
