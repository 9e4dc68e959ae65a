#include "app/rules/SessionBusAddress.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr const char* kVariable = "DBUS_SESSION_BUS_ADDRESS";
// A transport libdbus does not know: every connect fails on the spot, and nothing is launched.
constexpr const char* kNoBus = "disabled:";

bool IsSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

// Bus addresses separate their parts with ',', ';', '=' and ':', so a path goes in with every byte
// other than an ASCII letter, a digit or one of -_/.\* written as %XX.
std::string AddressOfSocket(const std::string& path)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string address = "unix:path=";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                        || std::string_view("-_/.\\*").find(c) != std::string_view::npos;
        if (plain) {
            address += c;
        } else {
            address += '%';
            address += kHex[byte >> 4];
            address += kHex[byte & 0xf];
        }
    }
    return address;
}

}  // namespace

void SessionBusAddress::Settle()
{
    if (IsSet(std::getenv(kVariable)))
        return;
    std::string address = kNoBus;
    if (const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR"); IsSet(runtimeDir)) {
        const std::filesystem::path socket = std::filesystem::path(runtimeDir) / "bus";
        std::error_code error;
        if (std::filesystem::is_socket(socket, error))
            address = AddressOfSocket(socket.string());
    }
    setenv(kVariable, address.c_str(), 1);
}
