#include "StateFileAccounts.h"

#include <sodium.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr unsigned long long kPasses = 2;
constexpr std::size_t kMemoryBytes = 19u << 20;

bool Escaped(unsigned char c)
{
    return c == '%' || c <= ' ' || c == 0x7f;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += char(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> HashPassword(std::string_view password)
{
    char out[crypto_pwhash_STRBYTES];
    if (::sodium_init() < 0
        || crypto_pwhash_str_alg(out, password.data(), password.size(), kPasses, kMemoryBytes,
                                 crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt;
    return std::string(out);
}

std::string AccountLine(std::string_view name, std::string_view hash)
{
    std::string line(hash);
    line += ' ';
    for (const char c : name) {
        if (Escaped(static_cast<unsigned char>(c))) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", unsigned(static_cast<unsigned char>(c)));
            line += code;
        } else {
            line += c;
        }
    }
    line += '\n';
    return line;
}

bool WriteStateAccounts(const std::string& path, const std::vector<std::string>& names, std::string_view hash)
{
    std::ofstream file(path, std::ios::trunc | std::ios::binary);
    for (const std::string& name : names)
        file << AccountLine(name, hash);
    file.flush();
    return bool(file);
}

std::optional<std::set<std::string>> ReadStateAccounts(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::stringstream content;
    content << file.rdbuf();
    const std::string text = content.str();
    std::set<std::string> names;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        const std::string_view line = std::string_view(text).substr(start, end - start);
        const std::size_t space = line.find(' ');
        // Hashes start with '$'; held and released messages and comments are not accounts.
        if (line.empty() || line[0] != '$' || space == std::string_view::npos)
            continue;
        names.insert(Unescape(line.substr(space + 1)));
    }
    return names;
}
