// list.cfg as found on disk, and the way back: what was loaded must save and load unchanged,
// and whatever bytes a name holds must come back whole through the controls' characters.
#include "FuzzInput.h"

#include "common/ByteCodec.h"
#include "presence/rules/ContactListFile.h"
#include "presence/rules/ContactText.h"

namespace {

void CheckCrLf(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
        if (text[i] == '\n')
            FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(EncodeCharacters(DecodeBytes(bytes)) == bytes);
    const std::filesystem::path file = WriteScratchFile(data, size);
    const ContactListFile list = ReadContactList(file);
    FUZZ_CHECK(list.state == SettingsFileState::Read);
    FUZZ_CHECK(list.text.size() <= kContactListMaxLength);
    CheckCrLf(list.text);
    if (list.truncated)
        FUZZ_CHECK(list.text.empty() || list.text.back() == '\n');

    const std::string saved = ContactListFileBytes(list.text);
    WriteScratchFile(reinterpret_cast<const std::uint8_t*>(saved.data()), saved.size());
    const ContactListFile again = ReadContactList(file);
    FUZZ_CHECK(again.text == list.text);
    FUZZ_CHECK(!again.truncated);
    return 0;
}
