// Accounts in the server's state file, as the accounts scenarios need them: a file of many
// registered names written before the server starts, and the names a stopped server left in it.
// One line per account, "HASH NAME", the name's '%', control bytes and spaces written as %XX.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Argon2id at the server's own cost (19 MiB, 2 passes), so that it has no reason to rehash at
// login; empty when libsodium cannot hash.
[[nodiscard]] std::optional<std::string> HashPassword(std::string_view password);

[[nodiscard]] std::string AccountLine(std::string_view name, std::string_view hash);

// Every name with the same hash: hashing each would take longer than the run it prepares.
[[nodiscard]] bool WriteStateAccounts(const std::string& path, const std::vector<std::string>& names,
                                      std::string_view hash);

// The names the file's account lines hold; nothing when it cannot be read. A last line without
// its line end was never acknowledged and is not counted.
[[nodiscard]] std::optional<std::set<std::string>> ReadStateAccounts(const std::string& path);
