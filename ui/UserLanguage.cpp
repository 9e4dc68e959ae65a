#include "ui/UserLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>

UserLanguage::UserLanguage(const QLocale& locale)
{
    m_programLoaded = m_program.load(locale, QStringLiteral("qornc"), QStringLiteral("_"), QStringLiteral(":/i18n"));
    if (m_programLoaded)
        QCoreApplication::installTranslator(&m_program);
    // Qt's own texts only where ours are translated: an English window with German buttons
    // would be worse than either.
    if (m_programLoaded) {
        m_qtLoaded = m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (m_qtLoaded)
            QCoreApplication::installTranslator(&m_qt);
    }
}

UserLanguage::~UserLanguage()
{
    if (m_qtLoaded)
        QCoreApplication::removeTranslator(&m_qt);
    if (m_programLoaded)
        QCoreApplication::removeTranslator(&m_program);
}
