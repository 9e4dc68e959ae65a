#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qornc::server {

// Salted, deliberately slow password hashes (libsodium's crypto_pwhash), so a
// leaked state file does not hand out passwords. The cost is chosen per
// hasher; a stored hash carries its own cost, so verifying needs none.
class PasswordHasher {
public:
    struct Cost {
        unsigned long long operations;
        std::size_t memoryBytes;
    };

    // What a server should use: libsodium's interactive level.
    static Cost interactiveCost();
    // The cheapest the algorithm allows, for tests that register many names.
    static Cost cheapestCost();

    explicit PasswordHasher(Cost cost = interactiveCost());

    // Empty when libsodium is unusable or out of memory.
    std::optional<std::string> hash(std::string_view password) const;
    static bool verify(const std::string& hash, std::string_view password);
    // Whether `text` is a hash this library can verify.
    static bool isHash(const std::string& text);

private:
    Cost cost_;
    bool usable_;
};

} // namespace qornc::server
