#include "app/ClientCommandLine.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

struct QtOption {
    const char* name;
    const char* valueName; // nullptr: a switch
    const char* description;
};

// What QApplication and its xcb window system take out of the arguments, with "-" or "--" alike.
constexpr QtOption kQtOptions[] = {
    {"platform", "name[:options]", "The window system plugin, such as xcb or offscreen."},
    {"platformpluginpath", "path", "Where to look for window system plugins."},
    {"platformtheme", "theme", "The platform theme."},
    {"plugin", "plugin", "An input plugin to load."},
    {"qwindowgeometry", "geometry", "The main window's geometry, as X11's -geometry."},
    {"qwindowicon", "icon", "The default window icon."},
    {"qwindowtitle", "title", "The main window's title."},
    {"reverse", nullptr, "Lays the windows out right to left."},
    {"session", "session", "The session to restore, given by a session manager."},
    {"style", "style", "The widget style, such as Fusion."},
    {"stylesheet", "file", "A style sheet to apply."},
    {"widgetcount", nullptr, "Prints the number of widgets left at the end."},
    {"display", "display", "The X display (xcb)."},
    {"geometry", "geometry", "As -qwindowgeometry (xcb)."},
    {"title", "title", "As -qwindowtitle (xcb)."},
    {"icon", "icon", "As -qwindowicon (xcb)."},
    {"name", "name", "The X resource name (xcb)."},
    {"visual", "visual", "The X visual (xcb)."},
    {"nograb", nullptr, "Never grabs the mouse or keyboard (xcb)."},
    {"dograb", nullptr, "Grabs even under a debugger (xcb)."},
};

QStringList ArgumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

ClientCommandLine::ClientCommandLine(bool listQtOptions)
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Instant-messaging client for a QOR chat server. It reads info.cfg and list.cfg in the\n"
        "working folder; the desktop menu starts it through qornc-launcher in ~/.config/qornc."));
    // Qt's own options are single-dash words: "-platform" is one option, not seven.
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    for (const QtOption& option : kQtOptions) {
        QCommandLineOption qtOption(QString::fromLatin1(option.name), QString::fromLatin1(option.description),
                                    option.valueName != nullptr ? QString::fromLatin1(option.valueName) : QString());
        if (!listQtOptions)
            qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        m_parser.addOption(qtOption);
    }
}

ClientCommandLine::Verdict ClientCommandLine::Judge(int argc, char* argv[])
{
    if (!m_parser.parse(ArgumentList(argc, argv))) {
        m_error = m_parser.errorText();
        return Verdict::Wrong;
    }
    if (m_parser.isSet(QStringLiteral("help-all")))
        return Verdict::HelpAll;
    if (m_parser.isSet(QStringLiteral("help")))
        return Verdict::Help;
    if (m_parser.isSet(QStringLiteral("version")))
        return Verdict::Version;
    if (const QStringList stray = m_parser.positionalArguments(); !stray.isEmpty()) {
        m_error = QStringLiteral("Unexpected argument '%1'.").arg(stray.constFirst());
        return Verdict::Wrong;
    }
    return Verdict::Start;
}

bool ClientCommandLine::Starts(int argc, char* argv[])
{
    return Judge(argc, argv) == Verdict::Start;
}

std::optional<int> ClientCommandLine::Answer(int argc, char* argv[])
{
    const Verdict verdict = Judge(argc, argv);
    switch (verdict) {
    case Verdict::Start:
        return std::nullopt;
    case Verdict::Help:
    case Verdict::HelpAll:
        PrintHelp(argc, argv, verdict == Verdict::HelpAll);
        return EXIT_SUCCESS;
    case Verdict::Version:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return EXIT_SUCCESS;
    case Verdict::Wrong:
        break;
    }
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(m_error));
    return EXIT_FAILURE;
}

void ClientCommandLine::PrintHelp(int argc, char* argv[], bool withQtOptions) const
{
    // The usage line names the program as it was called, which only an application object knows;
    // a core one needs no display.
    const QCoreApplication textOnly(argc, argv);
    const QString text = withQtOptions ? ClientCommandLine(true).m_parser.helpText() : m_parser.helpText();
    std::fputs(qPrintable(text), stdout);
}
