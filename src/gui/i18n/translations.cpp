#include "gui/i18n/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace dromo {

Translations::Translations(const QLocale& locale)
{
    // "de_DE" finds dromo_de.qm; English, the source language, has none.
    m_programLoaded = m_program.load(locale, QStringLiteral("dromo"), QStringLiteral("_"), QStringLiteral(":/i18n")) &&
                      QCoreApplication::installTranslator(&m_program);
    if (!m_programLoaded) {
        return;  // Qt's buttons in German around English texts would be a mix
    }
    m_qtLoaded = m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                 QCoreApplication::installTranslator(&m_qt);
}

Translations::~Translations()
{
    if (m_qtLoaded) {
        QCoreApplication::removeTranslator(&m_qt);
    }
    if (m_programLoaded) {
        QCoreApplication::removeTranslator(&m_program);
    }
}

}  // namespace dromo
