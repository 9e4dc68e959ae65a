// The server's request connection under hostile bytes: block framing and field splitting.
#include "FuzzInput.h"

#include "common/Protocol.h"
#include "common/RequestFramer.h"
#include "common/RequestText.h"
#include "common/WordSplit.h"

#include <vector>

namespace {

bool Within(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void CheckFields(std::string_view text)
{
    const RequestHead head = ParseRequestHead(text);
    FUZZ_CHECK(Within(head.keyword, text) && Within(head.name, text) && Within(head.afterName, text));
    if (!head.hasAfterName)
        return;
    // Any prefix may be the password; try the first word, as a client with a plain one sends.
    const std::string_view password = SplitFirstWord(head.afterName).word;
    if (const auto fields = FieldsAfterPassword(head.afterName, password)) {
        FUZZ_CHECK(Within(*fields, text));
        if (const auto message = ParseMessageFields(*fields))
            FUZZ_CHECK(Within(message->recipient, text) && Within(message->text, text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RequestFramer framer;
    std::vector<std::string> texts;
    FeedInChunks(data, size, [&](std::string_view chunk) {
        texts.clear();
        framer.Feed(chunk, texts);
        for (const std::string& text : texts) {
            FUZZ_CHECK(!text.empty() && text.size() <= kMaxRequestText);
            FUZZ_CHECK(text.find('\0') == std::string::npos);
            CheckFields(text);
        }
        FUZZ_CHECK(framer.buffered() <= kMaxRequestText);
    });
    return 0;
}
