#include "presence/rules/ContactListFile.h"

#include "presence/rules/ContactText.h"

namespace {

// Only whole lines are kept, so a name is never loaded half and then saved half.
std::string WholeLinesWithin(const std::string& text, std::size_t limit)
{
    const std::size_t lastEnd = text.rfind('\n', limit - 1);
    return lastEnd == std::string::npos ? std::string() : text.substr(0, lastEnd + 1);
}

}  // namespace

ContactListFile ReadContactList(const std::filesystem::path& file)
{
    ContactListFile list;
    // A line end in memory takes at least as many bytes as on disk, so the bytes that can
    // yield a line within the buffer are all in its first kContactListMaxLength + 1.
    const BoundedRead read = ReadBounded(file, kContactListMaxLength + 1);
    list.state = read.state;
    list.text = ToCrLf(read.bytes);
    if (read.more || list.text.size() > kContactListMaxLength) {
        list.text = WholeLinesWithin(list.text, kContactListMaxLength);
        list.truncated = true;
    }
    return list;
}

std::string ContactListFileBytes(std::string_view text)
{
    return WithCrLf(DropCarriageReturns(text));
}
