#pragma once

#include <QLocale>
#include <QTranslator>

namespace dromo {

// The program's texts in the user's language, for as long as it lives:
// Dromo's own translation (built into the program) and Qt's for its
// standard buttons and dialogs (from Qt's installed translations, when the
// system has them). A language Dromo has no translation for stays English.
class Translations {
public:
    explicit Translations(const QLocale& locale = QLocale::system());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether Dromo's own texts are translated.
    bool Loaded() const { return m_programLoaded; }

private:
    QTranslator m_program;
    QTranslator m_qt;
    bool m_programLoaded = false;
    bool m_qtLoaded = false;
};

}  // namespace dromo
