#pragma once

#include <string>
#include <string_view>

namespace qornc::server {

class AccountBook;

// State file: the accounts registered by a first login, so that a name keeps
// its password across restarts. One account per line, "HASH NAME": the hash
// as crypto_pwhash writes it, then the name with '%', control bytes and
// spaces written as %XX so that any name fits on one line. Lines starting
// with '#' are comments. No password is ever written, only its hash.
std::string formatState(const AccountBook& book);
// Load the accounts file first: names it gives are left as it gave them.
bool parseState(std::string_view content, AccountBook& book, std::string& error);

// Where `path` leads once its symbolic links are followed; the file to write.
std::string followLinks(const std::string& path);

// A missing file is a first start and loads nothing.
bool loadStateFile(const std::string& path, AccountBook& book, std::string& error);

// Replaces the file in one step (a crash leaves the old or the new file, never a mix), keeps it
// readable by the owner alone, and returns only once the file and its folder are on disk. A
// symbolic link is written through: it stays, and its target changes.
bool saveStateFile(const std::string& path, const AccountBook& book, std::string& error);

} // namespace qornc::server
