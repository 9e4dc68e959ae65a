#include "app/ClientCommandLine.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

ClientCommandLine::ClientCommandLine()
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Instant-messaging client for a QOR chat server. It reads info.cfg and list.cfg in the\n"
        "working folder; the desktop menu starts it through qornc-launcher in ~/.config/qornc."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
}

bool ClientCommandLine::AsksOnlyForText(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // --help-all lists the window system's options too, which only QApplication knows.
    return m_parser.parse(arguments) && !m_parser.isSet(QStringLiteral("help-all"))
        && (m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("version")));
}

void ClientCommandLine::Process(const QCoreApplication& application)
{
    m_parser.process(application);
    const QStringList stray = m_parser.positionalArguments();
    if (stray.isEmpty())
        return;
    std::fprintf(stderr, "%s: Unexpected argument '%s'.\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(stray.constFirst()));
    std::exit(EXIT_FAILURE);
}
