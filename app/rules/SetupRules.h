// Checking what the user typed in the setup dialog, in the order the dialog reports problems.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kSentinel = "default";

struct SetupCheck {
    std::string error;  // empty when accepted; otherwise the one text to show
    std::string userId; // spaces replaced by underscores
    std::string password;
    std::string serverIp;
    [[nodiscard]] bool accepted() const { return error.empty(); }
};

// Name, password and server address as typed (the controls limit them to 127, 127 and 63
// characters). A server address that does not fit its 23-character buffer is refused.
[[nodiscard]] SetupCheck CheckSetup(std::string_view userId, std::string_view password, std::string_view serverIp);

// The start-up test: a name or password equal to the sentinel means not configured.
[[nodiscard]] bool NeedsSetup(std::string_view userId, std::string_view password);
