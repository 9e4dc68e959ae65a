#include "PasswordHasher.h"

#include <charconv>

#include <sodium.h>

namespace qornc::server {

namespace {

constexpr std::size_t kMebibyte = 1024 * 1024;
constexpr std::string_view kArgon2id = "$argon2id$";

// The number after `key` ("m=", "t=") in argon2's "$argon2id$v=19$m=KIB,t=PASSES,p=LANES$...".
std::optional<unsigned long long> parameter(std::string_view hash, std::string_view key)
{
    const auto at = hash.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    unsigned long long value = 0;
    const char* first = hash.data() + at + key.size();
    const auto [end, error] = std::from_chars(first, hash.data() + hash.size(), value);
    return error == std::errc() && end != first ? std::optional(value) : std::nullopt;
}

} // namespace

PasswordHasher::Cost PasswordHasher::recommendedCost()
{
    return {2, 19 * kMebibyte};
}

PasswordHasher::Cost PasswordHasher::cheapestCost()
{
    return {crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN};
}

PasswordHasher::PasswordHasher(Cost cost)
    : cost_(cost)
    // Safe to call any number of times; it only sets the library up once.
    , usable_(sodium_init() >= 0)
{
}

std::optional<std::string> PasswordHasher::hash(std::string_view password) const
{
    char out[crypto_pwhash_STRBYTES];
    if (!usable_
        || crypto_pwhash_str_alg(out, password.data(), password.size(), cost_.operations, cost_.memoryBytes,
                                 crypto_pwhash_ALG_ARGON2ID13)
            != 0)
        return std::nullopt;
    return std::string(out);
}

bool PasswordHasher::verify(const std::string& hash, std::string_view password)
{
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

bool PasswordHasher::isHash(const std::string& text)
{
    // needs_rehash answers -1 only for a string that is no valid hash at all.
    return text.size() < crypto_pwhash_STRBYTES
        && crypto_pwhash_str_needs_rehash(text.c_str(), crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN) != -1;
}

bool PasswordHasher::isWeaker(std::string_view hash) const
{
    if (!hash.starts_with(kArgon2id))
        return true;
    const auto kibibytes = parameter(hash, "$m=");
    const auto passes = parameter(hash, ",t=");
    return !kibibytes || !passes || *kibibytes * 1024 < cost_.memoryBytes || *passes < cost_.operations;
}

} // namespace qornc::server
