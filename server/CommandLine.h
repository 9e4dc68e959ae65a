#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qornc::server {

struct ServerOptions {
    std::string listenAddress = "0.0.0.0";
    std::uint16_t port = 22001;
    std::uint16_t notifyPort = 22002;
    std::string accountsFile; // empty: none
    std::vector<std::string> bots;
};

struct CommandLine {
    enum class Action { Run, Help, Fail };
    Action action = Action::Run;
    ServerOptions options;
    std::string error; // set for Fail
};

// `args` excludes the program name. Values go either as the next argument or
// after '=' ("--port 5" or "--port=5").
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

} // namespace qornc::server
