#include "app/rules/SetupRules.h"

#include <algorithm>
#include <cstddef>

#include "common/Protocol.h"
#include "common/RequestBlock.h"

namespace {

// The buffer the address is stored in: 23 characters and the terminator.
constexpr std::size_t kServerIpMaxLength = 23;

bool IsUnset(std::string_view value)
{
    return value.empty() || value == kSentinel;
}

}  // namespace

SetupCheck CheckSetup(std::string_view userId, std::string_view password, std::string_view serverIp)
{
    SetupCheck check;
    if (IsUnset(userId)) {
        check.error = "Use a different name.";
        return check;
    }
    // The server splits requests at spaces, so a name with one would be read as two words.
    check.userId = std::string(userId);
    std::replace(check.userId.begin(), check.userId.end(), ' ', '_');
    if (IsUnset(password)) {
        check.error = "Use a different password.";
        return check;
    }
    check.password = std::string(password);
    // Every request carries both; the logout is the shortest of them. An identity it cannot
    // carry could log in nowhere and never log out.
    if (!LogoutBlock(check.userId, check.password)) {
        check.error = "The name and password together are too long: at most " +
                      std::to_string(kLogoutTextCapacity - std::string_view("logout  ").size() - 1) +
                      " characters.";
        return check;
    }
    if (serverIp.empty()) {
        check.error = "Specify a server IP.";
        return check;
    }
    // Refused rather than cut: a cut address would quietly point at some other host.
    if (serverIp.size() > kServerIpMaxLength) {
        check.error = "Server IP is too long.";
        return check;
    }
    check.serverIp = std::string(serverIp);
    return check;
}

bool NeedsSetup(std::string_view userId, std::string_view password)
{
    return userId == kSentinel || password == kSentinel;
}
