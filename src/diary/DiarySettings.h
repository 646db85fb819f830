#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <optional>

namespace quillet {

class UserDefaults;

// The diary's own settings: the editor font and the two answered-once flags.
// Every read goes to the settings store and every write is flushed at once;
// each reader supplies its own fallback, as no defaults are registered.
class DiarySettings {
public:
    // Finds the installed font of a stored name ("Family" or "Family-Style").
    // The font database belongs to the windowing side, which hands it in.
    using FontLookup = std::function<std::optional<QFont>(const QString& name, double size)>;

    // defaults holds the settings; standard is the one clearDefaults empties.
    DiarySettings(UserDefaults& defaults, UserDefaults& standard);

    void setFontLookup(FontLookup lookup) { fontLookup_ = std::move(lookup); }
    // The editor font from the settings, with the fallbacks; none when the
    // font lookup finds nothing for the stored name (or none was given).
    std::optional<QFont> currentFont() const;
    void setCurrentFont(const std::optional<QFont>& font);
    // The name a font is stored under ("Family" or "Family-Style").
    static QString fontName(const QFont& font);

    bool isUseICloudAsked() const;
    void setIsUseICloudAsked(bool asked);
    bool isOldDataImported() const;
    void setIsOldDataImported(bool imported);

    // Removes every setting of the application, once per process.
    void clearDefaults();

private:
    UserDefaults& defaults_;
    UserDefaults& standard_;
    FontLookup fontLookup_;
};

} // namespace quillet
