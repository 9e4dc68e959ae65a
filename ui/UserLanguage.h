// The program in the user's language: its own texts and Qt's (the dialogs' buttons), in the
// language the desktop asks for through LANGUAGE, LC_ALL, LC_MESSAGES and LANG. English, the
// language of the sources, needs no file.
#pragma once

#include <QLocale>
#include <QTranslator>

class UserLanguage {
public:
    // Installs the translations for the locale's languages, best first, on the application.
    explicit UserLanguage(const QLocale& locale = QLocale::system());
    ~UserLanguage();
    UserLanguage(const UserLanguage&) = delete;
    UserLanguage& operator=(const UserLanguage&) = delete;

    // Whether the program's own texts are shown in a language other than English.
    [[nodiscard]] bool translated() const { return m_programLoaded; }

private:
    QTranslator m_program;
    QTranslator m_qt;
    bool m_programLoaded = false;
    bool m_qtLoaded = false;
};
