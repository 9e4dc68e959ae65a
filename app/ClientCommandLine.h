// The client's command line: --help, --help-all and --version, and the window system's own
// options (-platform, -style and the like), which are let through for QApplication to take.
// Everything is decided before QApplication exists: without a display it could not even start.
#pragma once

#include <QCommandLineParser>

#include <optional>

class ClientCommandLine {
public:
    // listQtOptions: --help shows the window system's options too, as --help-all asks.
    explicit ClientCommandLine(bool listQtOptions = false);

    // Prints the help or the version, or what is wrong on standard error, and gives the exit code
    // to end with; nothing when the arguments start the client.
    [[nodiscard]] std::optional<int> Answer(int argc, char* argv[]);
    // Whether the arguments start the client, printing nothing: the launcher asks this before it
    // makes the settings folder, so that --help or a wrong option leaves no trace.
    [[nodiscard]] bool Starts(int argc, char* argv[]);

private:
    enum class Verdict { Start, Help, HelpAll, Version, Wrong };

    [[nodiscard]] Verdict Judge(int argc, char* argv[]);
    void PrintHelp(int argc, char* argv[], bool withQtOptions) const;

    QCommandLineParser m_parser;
    QString m_error; // what is wrong, for Verdict::Wrong
};
