// Every text the user meets, kept in English as the program has always had it, and the one
// place where it is put into the user's language. Texts that carry a value (an error's name, an
// address, a count) are recognised by their pattern, so the Qt-free rules go on composing English.
#pragma once

#include <QString>

#include <string_view>

// The context of every catalogued text in the translation files.
inline constexpr const char* kTextContext = "QORNC";

// The text in the user's language; one the catalog does not know comes back as it is.
[[nodiscard]] QString Translated(const QString& english);
[[nodiscard]] QString Translated(std::string_view english);
// Whether the catalog knows the text, itself or as a pattern filled in.
[[nodiscard]] bool InCatalog(const QString& english);
