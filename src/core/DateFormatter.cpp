#include "core/DateFormatter.h"

#include "core/SystemTimeZone.h"

#include <cstdlib>
#include <map>
#include <string>
#include <unordered_map>

#include <QHashFunctions>

#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

namespace quillet {

namespace {

QString toQString(const icu::UnicodeString& text) {
    if (text.isEmpty()) {
        return QString(QLatin1StringView(""));
    }
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::UnicodeString toUnicodeString(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()),
                              static_cast<int32_t>(text.size()));
}

icu::Locale makeLocale(const QString& localeId) {
    const QByteArray id = localeId.toUtf8();
    icu::Locale locale(id.constData());
    if (localeId.contains(QLatin1Char('-'))) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale tagged = icu::Locale::forLanguageTag(id.constData(), status);
        if (U_SUCCESS(status) && !tagged.isBogus()) {
            locale = tagged;
        }
    }
    // Locales such as th_TH or ja_JP@calendar=japanese would otherwise bring their own
    // calendar; dates in the diary are always Gregorian.
    UErrorCode status = U_ZERO_ERROR;
    locale.setKeywordValue("calendar", "gregorian", status);
    return locale;
}

icu::DateFormat::EStyle toIcu(DateFormatter::Style style) {
    switch (style) {
    case DateFormatter::Style::Short:
        return icu::DateFormat::kShort;
    case DateFormatter::Style::None:
        break;
    }
    return icu::DateFormat::kNone;
}

QString patternForStyles(const icu::Locale& locale, DateFormatter::Style dateStyle,
                         DateFormatter::Style timeStyle) {
    if (dateStyle == DateFormatter::Style::None && timeStyle == DateFormatter::Style::None) {
        return QString(QLatin1StringView(""));
    }
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(toIcu(dateStyle), toIcu(timeStyle), locale));
    const auto* simple = dynamic_cast<const icu::SimpleDateFormat*>(format.get());
    if (!simple) {
        return {};
    }
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return toQString(pattern);
}

struct QStringHasher {
    size_t operator()(const QString& text) const noexcept { return qHash(text); }
};

struct CachedFormat {
    std::unique_ptr<icu::SimpleDateFormat> format; // null when ICU rejected the pattern
    std::shared_ptr<const icu::TimeZone> zone;
};

// Enough for every pattern one formatter switches between; more means a caller feeding
// arbitrary patterns, and starting over then keeps memory bounded.
constexpr size_t maxCachedFormats = 32;

} // namespace

struct DateFormatter::Private {
    QString localeId;
    icu::Locale locale;
    QString pattern = QString(QLatin1StringView(""));
    Style dateStyle = Style::None;
    Style timeStyle = Style::None;
    std::unordered_map<QString, CachedFormat, QStringHasher> formats;
    // The locale's pattern for each pair of styles: asking ICU for one makes
    // a whole formatter, and a list switches styles for every row it paints.
    std::map<std::pair<Style, Style>, QString> stylePatterns;
    CachedFormat* current = nullptr;
    icu::UnicodeString output;

    explicit Private(const QString& id) : localeId(id), locale(makeLocale(id)) {}

    void useStyles() {
        auto found = stylePatterns.find({dateStyle, timeStyle});
        if (found == stylePatterns.end()) {
            found = stylePatterns
                        .emplace(std::pair(dateStyle, timeStyle),
                                 patternForStyles(locale, dateStyle, timeStyle))
                        .first;
        }
        usePattern(found->second);
    }

    void usePattern(const QString& newPattern) {
        if (current && newPattern == pattern) {
            return;
        }
        pattern = newPattern;
        current = nullptr;
    }

    CachedFormat& currentFormat() {
        if (current) {
            return *current;
        }
        auto found = formats.find(pattern);
        if (found == formats.end()) {
            if (formats.size() >= maxCachedFormats) {
                formats.clear();
            }
            CachedFormat made;
            UErrorCode status = U_ZERO_ERROR;
            auto format =
                std::make_unique<icu::SimpleDateFormat>(toUnicodeString(pattern), locale, status);
            if (U_SUCCESS(status)) {
                made.format = std::move(format);
            }
            found = formats.emplace(pattern, std::move(made)).first;
        }
        current = &found->second;
        return *current;
    }
};

DateFormatter::DateFormatter() : DateFormatter(userLocaleId()) {}

DateFormatter::DateFormatter(const QString& localeId) : d(std::make_unique<Private>(localeId)) {}

DateFormatter::DateFormatter(const DateFormatter& other)
    : d(std::make_unique<Private>(other.d->localeId)) {
    d->pattern = other.d->pattern;
    d->dateStyle = other.d->dateStyle;
    d->timeStyle = other.d->timeStyle;
}

DateFormatter& DateFormatter::operator=(const DateFormatter& other) {
    if (this != &other) {
        DateFormatter copy(other);
        std::swap(d, copy.d);
    }
    return *this;
}

DateFormatter::~DateFormatter() = default;

QString DateFormatter::userLocaleId() {
    const char* chosen = nullptr;
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            chosen = value;
            break;
        }
    }
    std::string id = chosen ? chosen : "";
    // "de_DE.UTF-8@euro": the codeset and the modifier mean nothing to ICU.
    id = id.substr(0, id.find_first_of(".@"));
    if (id.empty() || id == "C" || id == "POSIX") {
        return QStringLiteral("en_US_POSIX");
    }
    return QString::fromLatin1(id);
}

QString DateFormatter::localeId() const {
    return d->localeId;
}

void DateFormatter::setDateFormat(const QString& pattern) {
    d->usePattern(pattern.isNull() ? QString(QLatin1StringView("")) : pattern);
}

QString DateFormatter::dateFormat() const {
    return d->pattern;
}

void DateFormatter::setDateStyle(Style style) {
    d->dateStyle = style;
    d->useStyles();
}

DateFormatter::Style DateFormatter::dateStyle() const {
    return d->dateStyle;
}

void DateFormatter::setTimeStyle(Style style) {
    d->timeStyle = style;
    d->useStyles();
}

DateFormatter::Style DateFormatter::timeStyle() const {
    return d->timeStyle;
}

QString DateFormatter::stringFromDate(const QDateTime& date) {
    if (!date.isValid()) {
        return {};
    }
    CachedFormat& cached = d->currentFormat();
    if (!cached.format) {
        return {};
    }
    std::shared_ptr<const icu::TimeZone> zone = SystemTimeZone::current();
    if (zone != cached.zone) {
        cached.format->setTimeZone(*zone);
        cached.zone = std::move(zone);
    }
    d->output.remove();
    icu::FieldPosition ignored(icu::FieldPosition::DONT_CARE);
    cached.format->format(static_cast<UDate>(date.toMSecsSinceEpoch()), d->output, ignored);
    return toQString(d->output);
}

namespace {

QStringList monthSymbols(const icu::Locale& locale, icu::DateFormatSymbols::DtContextType context,
                         icu::DateFormatSymbols::DtWidthType width) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(locale, status);
    if (U_FAILURE(status)) {
        return {};
    }
    int32_t count = 0;
    const icu::UnicodeString* months = symbols.getMonths(count, context, width);
    QStringList names;
    names.reserve(count);
    for (int32_t i = 0; i < count; ++i) {
        names.append(toQString(months[i]));
    }
    return names;
}

} // namespace

QStringList DateFormatter::standaloneMonthSymbols() const {
    return monthSymbols(d->locale, icu::DateFormatSymbols::STANDALONE,
                        icu::DateFormatSymbols::WIDE);
}

QStringList DateFormatter::shortMonthSymbols() const {
    return monthSymbols(d->locale, icu::DateFormatSymbols::FORMAT,
                        icu::DateFormatSymbols::ABBREVIATED);
}

} // namespace quillet
