#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// Field splitting for request texts. Fields are separated by exactly one
// space and the last field runs to the end, so nothing here trims or
// collapses spaces: a password or message text keeps every byte it had.
namespace qornc::server {

struct WordSplit {
    std::string_view word;
    std::string_view rest;  // after the separating space
    bool separated = false; // false when the text had no space at all
};

WordSplit splitFirstWord(std::string_view text);

// "KEYWORD NAME AFTER...": the two leading words every request has.
struct RequestHead {
    std::string_view keyword;
    std::string_view name;
    std::string_view afterName;
    bool hasName = false;
    bool hasAfterName = false;
};

RequestHead parseHead(std::string_view text);

// The password may itself hold spaces, so the words after the name cannot be
// split blindly: the known password must be followed by one space, and what
// follows that space is returned.
std::optional<std::string_view> fieldsAfterPassword(std::string_view afterName,
                                                    std::string_view password);

// Where the password may end when it is not known yet: the texts before each of the first `most`
// spaces, shortest first, leaving out an empty one.
std::vector<std::string_view> passwordCandidates(std::string_view afterName, std::size_t most);

struct MessageFields {
    std::string_view recipient;
    std::string_view text; // may be empty
};

std::optional<MessageFields> parseMessageFields(std::string_view fields);

} // namespace qornc::server
