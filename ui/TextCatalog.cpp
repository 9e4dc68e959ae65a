#include "ui/TextCatalog.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <vector>

namespace {

// Marked for lupdate, which collects them into the translation files; looked up at run time.
constexpr const char* kTexts[] = {
    // Windows, controls and menu.
    QT_TRANSLATE_NOOP("QORNC", "QOR Network Client"),
    QT_TRANSLATE_NOOP("QORNC", "Enter information"),
    QT_TRANSLATE_NOOP("QORNC", "About..."),
    QT_TRANSLATE_NOOP("QORNC", "E&xit"),
    QT_TRANSLATE_NOOP("QORNC", "Status:"),
    QT_TRANSLATE_NOOP("QORNC", "&Update list"),
    QT_TRANSLATE_NOOP("QORNC", "Online:"),
    QT_TRANSLATE_NOOP("QORNC", "Contact list:"),
    QT_TRANSLATE_NOOP("QORNC", "&Connect"),
    QT_TRANSLATE_NOOP("QORNC", "&Disconnect"),
    QT_TRANSLATE_NOOP("QORNC", "&Send message"),
    QT_TRANSLATE_NOOP("QORNC", "Messages:"),
    QT_TRANSLATE_NOOP("QORNC", "&Auto-update list"),
    QT_TRANSLATE_NOOP("QORNC", "&Edit list"),
    QT_TRANSLATE_NOOP("QORNC", "&Done"),
    QT_TRANSLATE_NOOP("QORNC", "OK"),
    QT_TRANSLATE_NOOP("QORNC", "&Show password"),
    QT_TRANSLATE_NOOP("QORNC", "Name:"),
    QT_TRANSLATE_NOOP("QORNC", "Password:"),
    QT_TRANSLATE_NOOP("QORNC", "Server IP:"),
    QT_TRANSLATE_NOOP("QORNC", "&File"),
    QT_TRANSLATE_NOOP("QORNC", "&Options"),
    QT_TRANSLATE_NOOP("QORNC", "&Help"),
    QT_TRANSLATE_NOOP("QORNC", "&About..."),
    QT_TRANSLATE_NOOP("QORNC", "%1\nVersion %2\nby %3"),
    QT_TRANSLATE_NOOP("QORNC", "the QORNC developers"),
    // Accessible names and descriptions.
    QT_TRANSLATE_NOOP("QORNC", "Contact list"),
    QT_TRANSLATE_NOOP("QORNC", "Online"),
    QT_TRANSLATE_NOOP("QORNC", "Messages"),
    QT_TRANSLATE_NOOP("QORNC", "Message to send"),
    QT_TRANSLATE_NOOP("QORNC", "Status"),
    QT_TRANSLATE_NOOP("QORNC", "Status line"),
    QT_TRANSLATE_NOOP("QORNC", "Name"),
    QT_TRANSLATE_NOOP("QORNC", "Password"),
    QT_TRANSLATE_NOOP("QORNC", "Server IP"),
    // The tray and the desktop's notifications.
    QT_TRANSLATE_NOOP("QORNC", "QORNC - Not connected"),
    QT_TRANSLATE_NOOP("QORNC", "QORNC - New message(s)"),
    QT_TRANSLATE_NOOP("QORNC", "&Show"),
    QT_TRANSLATE_NOOP("QORNC", "&Hide"),
    QT_TRANSLATE_NOOP("QORNC", "Show"),
    // The status line.
    QT_TRANSLATE_NOOP("QORNC", "No status messages."),
    QT_TRANSLATE_NOOP("QORNC", "Connecting to %1..."),
    QT_TRANSLATE_NOOP("QORNC", "Not connected: the attempt was abandoned."),
    QT_TRANSLATE_NOOP("QORNC", "Can't connect: Error code %1."),
    QT_TRANSLATE_NOOP("QORNC", "Message send error: %1."),
    QT_TRANSLATE_NOOP("QORNC", "Unknown error"),
    QT_TRANSLATE_NOOP("QORNC", "Connection to the server lost: Error code %1."),
    QT_TRANSLATE_NOOP("QORNC", "Refused at login: the name or password may be wrong."),
    QT_TRANSLATE_NOOP("QORNC", "Can't log in: the name and password together are too long."),
    QT_TRANSLATE_NOOP("QORNC", "Can't listen for messages: Error code %1."),
    QT_TRANSLATE_NOOP("QORNC", "Refused a delivery from %1: not the server's address."),
    QT_TRANSLATE_NOOP("QORNC", "Unable to send message to other user."),
    QT_TRANSLATE_NOOP("QORNC", "Not sent: the server has not yet said who is online. Press Enter again in a moment."),
    QT_TRANSLATE_NOOP("QORNC", "Not sent: select who to send to in the Online list."),
    QT_TRANSLATE_NOOP("QORNC", "Not sent: nobody is online to send to."),
    QT_TRANSLATE_NOOP("QORNC", "Not sent: not connected to the server."),
    QT_TRANSLATE_NOOP("QORNC", "Message full at %1 bytes: the rest was left out."),
    QT_TRANSLATE_NOOP("QORNC", "Contact list full: that change was not made."),
    QT_TRANSLATE_NOOP("QORNC", "%1 older messages were dropped: too many arrived at once."),
    // Message boxes.
    QT_TRANSLATE_NOOP("QORNC", "info.cfg is not a file that can be read; it is taken as missing."),
    QT_TRANSLATE_NOOP("QORNC", "list.cfg is not a file that can be read; the contact list starts empty."),
    QT_TRANSLATE_NOOP("QORNC", "list.cfg holds more contacts than the list can take; only the first ones were "
                               "loaded. The file is kept as it is unless you change the list."),
    QT_TRANSLATE_NOOP("QORNC", "Error saving file"),
    QT_TRANSLATE_NOOP("QORNC", "Disconnect before setting options."),
    QT_TRANSLATE_NOOP("QORNC", "QORNC already runs in the folder %1."),
    QT_TRANSLATE_NOOP("QORNC", "Use a different name."),
    QT_TRANSLATE_NOOP("QORNC", "Use a different password."),
    QT_TRANSLATE_NOOP("QORNC", "The name and password together are too long: at most %1 characters."),
    QT_TRANSLATE_NOOP("QORNC", "Specify a server IP."),
    QT_TRANSLATE_NOOP("QORNC", "Server IP is too long."),
};

struct Pattern {
    const char* source;
    QRegularExpression match; // the text with every %n a captured value
};

const std::vector<Pattern>& Patterns()
{
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> built;
        static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
        for (const char* source : kTexts) {
            const QString text = QString::fromUtf8(source);
            if (!text.contains(placeholder))
                continue;
            QStringList pieces;
            for (const QString& piece : text.split(placeholder))
                pieces.append(QRegularExpression::escape(piece));
            const QString expression = pieces.join(QStringLiteral("(.*?)"));
            built.push_back({source, QRegularExpression(QLatin1Char('^') + expression + QLatin1Char('$'),
                                                        QRegularExpression::DotMatchesEverythingOption)});
        }
        return built;
    }();
    return patterns;
}

bool IsPlainText(const QString& english)
{
    for (const char* source : kTexts) {
        if (english == QLatin1String(source))
            return true;
    }
    return false;
}

}  // namespace

QString Translated(const QString& english)
{
    if (english.isEmpty())
        return english;
    if (IsPlainText(english))
        return QCoreApplication::translate(kTextContext, english.toUtf8().constData());
    for (const Pattern& pattern : Patterns()) {
        const QRegularExpressionMatch found = pattern.match.match(english);
        if (!found.hasMatch())
            continue;
        QString shown = QCoreApplication::translate(kTextContext, pattern.source);
        for (int value = 1; value <= found.lastCapturedIndex(); ++value)
            shown = shown.arg(Translated(found.captured(value))); // "Unknown error" is a text too
        return shown;
    }
    return english;
}

QString Translated(std::string_view english)
{
    return Translated(QString::fromUtf8(english.data(), qsizetype(english.size())));
}

bool InCatalog(const QString& english)
{
    if (IsPlainText(english))
        return true;
    for (const Pattern& pattern : Patterns()) {
        if (pattern.match.match(english).hasMatch())
            return true;
    }
    return false;
}
