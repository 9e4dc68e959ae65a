#pragma once

#include "AccountBook.h"
#include "Authenticator.h"
#include "MachineLimits.h"
#include "ServerConfig.h"

#include <cstddef>
#include <string>
#include <vector>

namespace qornc::server {

struct ServerOptions {
    std::string listenAddress = "0.0.0.0";
    std::string accountsFile; // empty: none
    std::vector<std::string> bots;
    std::size_t maxAccounts = AccountBook::kDefaultCapacity;
    std::size_t logLimit = 120; // lines of one kind per minute
    ServerConfig server;
    AuthLimits router;
};

// The defaults for this machine: connections from its descriptor limit and memory, queues and
// accounts from its memory, a hashing thread per core.
ServerOptions defaultOptions(const MachineLimits& machine);

struct CommandLine {
    enum class Action { Run, Help, Version, Fail };
    Action action = Action::Run;
    ServerOptions options;
    std::string error; // set for Fail
};

// `args` excludes the program name. Values go either as the next argument or
// after '=' ("--port 5" or "--port=5").
CommandLine parseCommandLine(const std::vector<std::string>& args, const MachineLimits& machine = {});

std::string usageText(const MachineLimits& machine = {});
std::string versionText();

} // namespace qornc::server
