#include "common/PeerAddress.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kMappedPrefix = "::ffff:";

bool IsDottedQuad(std::string_view text)
{
    int parts = 0;
    std::size_t digits = 0;
    int value = 0;
    for (const char c : text) {
        if (c == '.') {
            if (digits == 0 || parts == 3)
                return false;
            ++parts;
            digits = 0;
            value = 0;
        } else if (std::isdigit(static_cast<unsigned char>(c)) != 0 && digits < 3) {
            value = value * 10 + (c - '0');
            if (value > 255)
                return false;
            ++digits;
        } else {
            return false;
        }
    }
    return parts == 3 && digits > 0;
}

bool StartsWithMappedPrefix(std::string_view address)
{
    if (address.size() < kMappedPrefix.size())
        return false;
    return std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), address.begin(), [](char want, char got) {
        return want == std::tolower(static_cast<unsigned char>(got));
    });
}

}  // namespace

std::string PlainAddressText(std::string_view address)
{
    if (StartsWithMappedPrefix(address)) {
        const std::string_view v4 = address.substr(kMappedPrefix.size());
        if (IsDottedQuad(v4))
            return std::string(v4);
    }
    return std::string(address);
}
