#pragma once

#include <QString>

namespace quillet {

class Edition;

// The theme of the running edition and the image-name patterns built from
// it: the theme name, a suffix and a "%i" for the number. While the look is
// dark every name starts with "dark_", the dark drawing of the same image.
class ThemeNames {
public:
    explicit ThemeNames(const Edition& edition);

    // "eco" for edition 2, "basic" for every other.
    QString themeName() const;
    QString themeCellImageName() const;
    QString themeBarImageName() const;
    QString themeIconImageName() const;
    QString themeFooterImageName() const;
    QString themeBackgroundImageName() const;
    QString themePasscodeImageName() const;
    QString themeTrashImageName() const;
    QString themePickerImageName() const;
    QString themePickerHighlightImageName() const;
    // A pattern with its "%i" filled by the number.
    static QString imageName(const QString& pattern, int number);

    bool isDark() const;
    void setDark(bool dark);
    // A fixed image's name in the current look ("dot.png", "dark_dot.png").
    QString variantImageName(const QString& name) const;
    static QString darkPrefix();

private:
    QString pattern(const char* suffix) const;
    const Edition& edition_;
    bool dark_ = false;
};

} // namespace quillet
