// The client's command line: --help and --version. Qt's own options (-platform, -style and the
// like) belong to QApplication, which takes them out before the rest is checked.
#pragma once

#include <QCommandLineParser>

class QCoreApplication;

class ClientCommandLine {
public:
    ClientCommandLine();

    // True when the arguments ask only for --help or --version, which need no display.
    [[nodiscard]] bool AsksOnlyForText(int argc, char* argv[]);
    // Prints the help, the version or what is wrong and ends the process, as QCommandLineParser
    // does; returns only when the client should start.
    void Process(const QCoreApplication& application);

private:
    QCommandLineParser m_parser;
};
