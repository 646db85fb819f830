#pragma once

#include <QLocale>

namespace quillet {

// The window's language: the diary's own catalogue (embedded under :/i18n)
// and Qt's qtbase one, for the first of the locale's languages that has a
// catalogue. English, the language of the source texts, needs none.
namespace Translations {

// Replaces the catalogues installed by an earlier call; returns the language
// loaded ("de", "fr", ...), or an empty string when the texts stay English.
QString use(const QLocale& locale);

} // namespace Translations

} // namespace quillet
