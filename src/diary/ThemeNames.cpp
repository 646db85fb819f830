#include "diary/ThemeNames.h"

#include "diary/Edition.h"

namespace quillet {

ThemeNames::ThemeNames(const Edition& edition) : edition_(edition) {}

QString ThemeNames::themeName() const {
    return edition_.applicationModel() == 2 ? QStringLiteral("eco") : QStringLiteral("basic");
}

QString ThemeNames::pattern(const char* suffix) const {
    return variantImageName(themeName() + QLatin1String(suffix));
}

bool ThemeNames::isDark() const {
    return dark_;
}

void ThemeNames::setDark(bool dark) {
    dark_ = dark;
}

QString ThemeNames::darkPrefix() {
    return QStringLiteral("dark_");
}

QString ThemeNames::variantImageName(const QString& name) const {
    return dark_ ? darkPrefix() + name : name;
}

QString ThemeNames::themeCellImageName() const {
    return pattern("_cell_%i.png");
}
QString ThemeNames::themeBarImageName() const {
    return pattern("_bar_%i.png");
}
QString ThemeNames::themeIconImageName() const {
    return pattern("_icon_%i.png");
}
QString ThemeNames::themeFooterImageName() const {
    return pattern("_foot_%i.png");
}
QString ThemeNames::themeBackgroundImageName() const {
    return pattern("_back_desk_%i.png");
}
QString ThemeNames::themePasscodeImageName() const {
    return pattern("_pass_desk_%i.png");
}
QString ThemeNames::themeTrashImageName() const {
    return pattern("_trash_%i.png");
}
QString ThemeNames::themePickerImageName() const {
    return pattern("_pick_%i.png");
}
QString ThemeNames::themePickerHighlightImageName() const {
    return pattern("_pick_high_%i.png");
}

QString ThemeNames::imageName(const QString& pattern, int number) {
    QString name = pattern;
    return name.replace(QStringLiteral("%i"), QString::number(number));
}

} // namespace quillet
