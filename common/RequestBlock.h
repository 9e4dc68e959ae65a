// Request blocks: "login", "logout", "getbuddy" and "message" laid out as text, NUL, NUL fill.
// A request whose text would not fit its capacity is refused (std::nullopt), never cut, so the
// server never sees a half name or half password.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Lays out text in a block of blockSize bytes. Refused when the text plus its NUL exceeds
// textCapacity or the block, or when the text holds a NUL of its own.
[[nodiscard]] std::optional<std::string> BuildRequestBlock(std::string_view text, std::size_t textCapacity,
                                                           std::size_t blockSize);

// blockSize is kStartupLoginBlockSize when the main window opens, kConnectLoginBlockSize from Connect.
[[nodiscard]] std::optional<std::string> LoginBlock(std::string_view userId, std::string_view password,
                                                    std::size_t blockSize);
[[nodiscard]] std::optional<std::string> LogoutBlock(std::string_view userId, std::string_view password);
[[nodiscard]] std::optional<std::string> GetBuddyBlock(std::string_view userId, std::string_view password,
                                                       std::string_view contact);
[[nodiscard]] std::optional<std::string> MessageBlock(std::string_view userId, std::string_view password,
                                                      std::string_view recipient, std::string_view text);
