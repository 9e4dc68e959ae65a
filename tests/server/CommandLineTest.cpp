#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;

TEST(CommandLine, DefaultsMatchTheClient)
{
    const CommandLine command = parseCommandLine({});
    ASSERT_EQ(command.action, CommandLine::Action::Run);
    EXPECT_EQ(command.options.port, 22001);
    EXPECT_EQ(command.options.notifyPort, 22002);
    EXPECT_EQ(command.options.listenAddress, "0.0.0.0");
}

TEST(CommandLine, AcceptsValidOptions)
{
    const CommandLine command = parseCommandLine({"--port", "0", "--notify-port=4000", "--listen", "::1",
                                                  "--accounts=/tmp/a b", "--bot", "echo", "--bot=eliza",
                                                  "--bot", "echo", "--port", "65535"});
    ASSERT_EQ(command.action, CommandLine::Action::Run) << command.error;
    EXPECT_EQ(command.options.port, 65535);
    EXPECT_EQ(command.options.notifyPort, 4000);
    EXPECT_EQ(command.options.listenAddress, "::1");
    EXPECT_EQ(command.options.accountsFile, "/tmp/a b");
    EXPECT_EQ(command.options.bots, (std::vector<std::string>{"echo", "eliza"}));
}

TEST(CommandLine, RejectsBadInputWithAReason)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--port", "65536"}, "bad port '65536'"},
        {{"--port="}, "bad port ''"},
        {{"--notify-port", "0"}, "for --notify-port"},
        {{"--port"}, "'--port' needs a value"},
        {{"--listen", "localhost"}, "bad address"},
        {{"--bot", "two words"}, "bad bot name"},
        {{"--accounts="}, "--accounts"},
        {{"--frobnicate", "1"}, "unknown option '--frobnicate'"},
        {{"--help=1"}, "unknown option '--help'"},
        {{"-p", "1"}, "unexpected argument '-p'"},
    };
    for (const auto& [args, errorPart] : cases) {
        const CommandLine command = parseCommandLine(args);
        EXPECT_EQ(command.action, CommandLine::Action::Fail) << args.front();
        EXPECT_NE(command.error.find(errorPart), std::string::npos) << command.error;
    }
}

TEST(CommandLine, HelpIsRecognisedAndDocumentsEveryOption)
{
    EXPECT_EQ(parseCommandLine({"--port", "1", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parseCommandLine({"-h"}).action, CommandLine::Action::Help);
    const std::string usage = usageText();
    for (const char* option : {"--port", "--listen", "--notify-port", "--accounts", "--bot", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
