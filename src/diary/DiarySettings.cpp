#include "diary/DiarySettings.h"

#include "core/Log.h"
#include "core/UserDefaults.h"

#include <atomic>

namespace quillet {

namespace {
const QString kCurrentFontName = QStringLiteral("currentFontName");
const QString kCurrentFontSize = QStringLiteral("currentFontSize");
const QString kIsUseICloudAsked = QStringLiteral("isUseICloudAsked");
const QString kIsOldDataImported = QStringLiteral("isOldDataImported");

// Once per process, however many settings objects there are.
std::atomic<bool> g_defaultsCleared{false};
} // namespace

DiarySettings::DiarySettings(UserDefaults& defaults, UserDefaults& standard)
    : defaults_(defaults), standard_(standard) {}

std::optional<QFont> DiarySettings::currentFont() const {
    QString name = defaults_.stringForKey(kCurrentFontName);
    float size = defaults_.floatForKey(kCurrentFontSize);
    // In this order: an absent (or zero) size is the default size, without a log line.
    if (size == 0.0f) {
        size = 30.0f;
    }
    if (name.isNull()) {
        Log::write(QStringLiteral("null currentFontName"));
        name = QStringLiteral("Helvetica");
    }
    if (size < 12.0f) {
        Log::write(QStringLiteral("currentFontSize less then 12"));
        size = 12.0f;
    }
    return fontLookup_ ? fontLookup_(name, double(size)) : std::nullopt;
}

QString DiarySettings::fontName(const QFont& font) {
    const QString style = font.styleName();
    if (style.isEmpty() || style == QLatin1String("Regular") || style == QLatin1String("Book") ||
        style == QLatin1String("Normal")) {
        return font.family();
    }
    return font.family() + QLatin1Char('-') + style;
}

void DiarySettings::setCurrentFont(const std::optional<QFont>& font) {
    if (!font) {
        Log::write(QStringLiteral("null currentFont"));
        return;
    }
    // The size is kept as it is, also below 12: only reading raises it.
    defaults_.setObject(fontName(*font), kCurrentFontName);
    defaults_.setFloat(float(font->pointSizeF()), kCurrentFontSize);
    defaults_.synchronize();
}

bool DiarySettings::isUseICloudAsked() const {
    return defaults_.boolForKey(kIsUseICloudAsked);
}

void DiarySettings::setIsUseICloudAsked(bool asked) {
    defaults_.setBool(asked, kIsUseICloudAsked);
    defaults_.synchronize();
}

bool DiarySettings::isOldDataImported() const {
    return defaults_.boolForKey(kIsOldDataImported);
}

void DiarySettings::setIsOldDataImported(bool imported) {
    defaults_.setBool(imported, kIsOldDataImported);
    defaults_.synchronize();
}

void DiarySettings::clearDefaults() {
    if (g_defaultsCleared.exchange(true)) {
        return;
    }
    const QStringList keys = standard_.allKeys();
    for (const QString& key : keys) {
        standard_.removeObjectForKey(key);
    }
    standard_.synchronize();
}

} // namespace quillet
