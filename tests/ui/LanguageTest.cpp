// The client in the user's language: German and French windows, menus, accessible names, status
// texts that still fit the status line, Qt's own buttons; and no text the user meets left out of
// the catalog the translations are made from.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QMenuBar>
#include <QTest>

#include "support/UiFixture.h"
#include "app/CSetupDlg.h"
#include "ui/CAboutDlg.h"
#include "net/rules/ConnectionState.h"
#include "net/ServerConnection.h"
#include "ui/LinkPresenter.h"
#include "ui/rules/MessageSend.h"
#include "ui/TextCatalog.h"
#include "ui/UserLanguage.h"

namespace {

class LanguageTest : public UiFixture {};

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// Every status text, its values filled in as long as they come.
QStringList StatusTexts()
{
    return {
        Latin1(kNoStatusText),
        QString::fromLatin1(kConnectingText).arg("255.255.255.255"),
        QString::fromLatin1(kAbandonedText),
        QStringLiteral("Can't connect: Error code WSAEADDRNOTAVAIL."),
        QStringLiteral("Can't connect: Error code Unknown error."),
        QStringLiteral("Message send error: WSAEADDRNOTAVAIL."),
        QString::fromLatin1(kLinkLostText).arg("WSAECONNABORTED"),
        QString::fromLatin1(kLoginRefusedText),
        QString::fromLatin1(kLoginTooLongText),
        QStringLiteral("Can't listen for messages: Error code WSAEADDRINUSE."),
        QStringLiteral("Refused a delivery from 255.255.255.255: not the server's address."),
        Latin1(kSendFailedText),
        Latin1(kAwaitingPresenceText),
        Latin1(kNobodySelectedText),
        Latin1(kNobodyOnlineText),
        Latin1(kNotConnectedText),
        QStringLiteral("Message full at 128 bytes: the rest was left out."),
        QStringLiteral("Contact list full: that change was not made."),
        QStringLiteral("1000 older messages were dropped: too many arrived at once."),
    };
}

}  // namespace

TEST_F(LanguageTest, GermanAndFrenchReachEveryControlAndQtsOwnButtons)
{
    struct Row {
        const char* locale;
        QString connect, exit, contacts, file, cancel, quiet;
    };
    const Row rows[] = {
        {"de_DE", "&Login", "&Ende", "Kontaktliste", "&Datei", "Abbrechen", "Keine Statusmeldungen."},
        {"fr_FR", "&Joindre", "F&in", "Liste de contacts", "&Fichier", "Annuler", "Aucun message d'état."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.locale);
        const UserLanguage language{QLocale(QString::fromLatin1(row.locale))};
        ASSERT_TRUE(language.translated());
        app.reset();
        Start();
        EXPECT_EQ(button(IDCANCEL)->text(), row.connect);
        EXPECT_EQ(button(IDOK)->text(), row.exit);
        EXPECT_EQ(contacts()->accessibleName(), row.contacts);
        EXPECT_EQ(window().menuBar()->actions().first()->text(), row.file);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), row.cancel);
        EXPECT_EQ(status(), row.quiet);
    }
}

TEST_F(LanguageTest, EveryStatusTextFitsTheStatusLineInEveryLanguage)
{
    Start();
    const QLineEdit* line = control<QLineEdit>(IDC_STATUS);
    const QFontMetrics metrics(line->font());
    const int room = line->contentsRect().width() - 2 * 2 - line->textMargins().left() - line->textMargins().right();
    // A text the English already runs past the line's end with (the line's tooltip then holds
    // it whole) may take as much room in translation, and no more.
    for (const char* locale : {"de_DE", "fr_FR"}) {
        const UserLanguage language{QLocale(QString::fromLatin1(locale))};
        for (const QString& english : StatusTexts()) {
            const QString shown = Translated(english);
            EXPECT_TRUE(InCatalog(english)) << english.toStdString();
            EXPECT_NE(shown, english) << locale;
            EXPECT_LE(metrics.horizontalAdvance(shown), std::max(room, metrics.horizontalAdvance(english)))
                << locale << ": " << shown.toStdString();
        }
    }
}

// A text that reaches the user without a catalog entry would stay English in every language.
TEST_F(LanguageTest, EveryTextTheWindowsShowIsCatalogued)
{
    QStringList missing;
    for (const DialogTemplate* dialog : {&kClientDialog, &kSetupDialog, &kAboutDialog}) {
        if (!InCatalog(QString::fromLatin1(dialog->caption.data(), qsizetype(dialog->caption.size()))))
            missing.append(Latin1(dialog->caption));
        for (const ControlTemplate& control : dialog->controls)
            if (!control.caption.empty() && !InCatalog(Latin1(control.caption)))
                missing.append(Latin1(control.caption));
    }
    for (const MenuItemTemplate& item : kClientMenu)
        for (const std::string_view text : {item.menu, item.item})
            if (!InCatalog(Latin1(text)))
                missing.append(Latin1(text));
    EXPECT_TRUE(missing.isEmpty()) << missing.join(" | ").toStdString();

    const UserLanguage german{QLocale(QStringLiteral("de_DE"))};
    EXPECT_EQ(Translated(QStringLiteral("Can't connect: Error code Unknown error.")),
              QStringLiteral("Verbindung gescheitert: Fehlercode Unbekannter Fehler."));
    EXPECT_EQ(Translated(QStringLiteral("Refused a delivery from 10.0.0.7: not the server's address.")),
              QStringLiteral("Zustellung von 10.0.0.7 abgelehnt: nicht vom Server."));
    EXPECT_EQ(Translated(QStringLiteral("alice")), QStringLiteral("alice")) << "a name is no text to translate";
}

// The window keeps its English geometry in every language, so a caption that runs past its button
// or label is cut off mid-word: "iste bearbeite" for "Liste bearbeiten". Where the English already
// runs a pixel or two past its control, a translation may take as much and no more.
TEST_F(LanguageTest, EveryCaptionFitsItsControlAsTheEnglishDoes)
{
    std::vector<int> english;
    for (const char* locale : {"en_US", "de_DE", "fr_FR"}) {
        const UserLanguage language{QLocale(QString::fromLatin1(locale))};
        app.reset();
        Start();
        CSetupDlg setup(state(), dir.path(), boxes);
        CAboutDlg about;
        // A button's bevel takes a few pixels on each side; a label's text has the whole width.
        std::vector<std::pair<const QWidget*, int>> captioned;
        for (const QWidget* dialog : {static_cast<QWidget*>(&window()), static_cast<QWidget*>(&setup), static_cast<QWidget*>(&about)}) {
            for (const QPushButton* control : dialog->findChildren<QPushButton*>())
                captioned.emplace_back(control, 3);
            for (const QAbstractButton* control : dialog->findChildren<QCheckBox*>())
                captioned.emplace_back(control, 12);
            for (const QLabel* control : dialog->findChildren<QLabel*>())
                captioned.emplace_back(control, 0);
        }
        for (std::size_t i = 0; i < captioned.size(); ++i) {
            const auto& [control, bevel] = captioned[i];
            const QString text = control->property("text").toString().remove(QLatin1Char('&'));
            int needed = 0;
            for (const QString& line : text.split(QLatin1Char('\n')))
                needed = std::max(needed, control->fontMetrics().horizontalAdvance(line) + 2 * bevel);
            if (english.size() < captioned.size())
                english.push_back(needed);
            if (!control->isHidden() && !text.isEmpty()) {
                EXPECT_LE(needed, std::max(control->width(), english[i])) << locale << ": " << text.toStdString();
            }
        }
    }
}
