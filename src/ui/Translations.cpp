#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace quillet::Translations {

namespace {
std::unique_ptr<QTranslator> g_own;
std::unique_ptr<QTranslator> g_qt;

void drop(std::unique_ptr<QTranslator>& translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
}
} // namespace

QString use(const QLocale& locale) {
    drop(g_own);
    drop(g_qt);
    // In the order the user prefers; a language before any catalogue that is
    // English (or C) keeps the source texts.
    for (const QString& name : locale.uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::English || language.language() == QLocale::C) {
            return QString();
        }
        auto own = std::make_unique<QTranslator>();
        if (!own->load(language, QStringLiteral("quillet"), QStringLiteral("_"),
                       QStringLiteral(":/i18n"))) {
            continue;
        }
        QCoreApplication::installTranslator(own.get());
        g_own = std::move(own);
        // Stock dialog buttons; the catalogue is an optional package.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.get());
            g_qt = std::move(qt);
        }
        return QLocale::languageToCode(language.language());
    }
    return QString();
}

} // namespace quillet::Translations
