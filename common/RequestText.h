// The fields of a request text as a server reads them: "KEYWORD NAME PASSWORD [FIELDS...]". The
// password may itself hold spaces, so the words after the name are not split blindly.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// "KEYWORD NAME AFTER...": the two leading words every request has.
struct RequestHead {
    std::string_view keyword;
    std::string_view name;
    std::string_view afterName;
    bool hasName = false;
    bool hasAfterName = false;
};

[[nodiscard]] RequestHead ParseRequestHead(std::string_view text);

// The known password must be followed by one space; what follows that space is returned.
[[nodiscard]] std::optional<std::string_view> FieldsAfterPassword(std::string_view afterName,
                                                                  std::string_view password);

// Where the password may end when it is not known yet: the texts before each of the first `most`
// spaces, shortest first, leaving out an empty one.
[[nodiscard]] std::vector<std::string_view> PasswordCandidates(std::string_view afterName, std::size_t most);

struct MessageFields {
    std::string_view recipient;
    std::string_view text; // may be empty
};

// "RECIPIENT TEXT...": refused when there is no recipient.
[[nodiscard]] std::optional<MessageFields> ParseMessageFields(std::string_view fields);
