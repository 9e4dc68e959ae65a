#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qornc::server {

// Salted, deliberately slow password hashes (libsodium's argon2id), so a leaked state file does
// not hand out passwords. The cost is chosen per hasher; a stored hash carries its own algorithm
// and cost, so verifying needs none, and older hashes (scrypt, argon2i, a lower cost) still verify.
class PasswordHasher {
public:
    struct Cost {
        unsigned long long operations; // passes over the memory
        std::size_t memoryBytes;
    };

    // What a server should use: the widely recommended minimum for argon2id, 19 MiB and 2
    // passes, which keeps a login's check short enough to serve thousands at once.
    static Cost recommendedCost();
    // The cheapest the algorithm allows, for tests that register many names.
    static Cost cheapestCost();

    explicit PasswordHasher(Cost cost = recommendedCost());

    // Empty when libsodium is unusable or out of memory.
    std::optional<std::string> hash(std::string_view password) const;
    static bool verify(const std::string& hash, std::string_view password);
    // Whether `text` is a hash this library can verify.
    static bool isHash(const std::string& text);
    // Whether `hash` was made weaker than this hasher makes them: another algorithm, less memory
    // or fewer passes. A stronger one is left alone.
    bool isWeaker(std::string_view hash) const;

private:
    Cost cost_;
    bool usable_;
};

} // namespace qornc::server
