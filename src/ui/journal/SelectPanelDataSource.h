#pragma once

#include <QPixmap>
#include <QStringList>
#include <optional>
#include <vector>

namespace quillet {

class Utility;

// The symbol lists of the month grid, the year control and the color tag
// selector. Each is built on first read and kept.
class SelectPanelDataSource {
public:
    // The color tags' images follow utility's theme.
    explicit SelectPanelDataSource(Utility* utility) : utility_(utility) {}

    // The first listed year through next year: index i stands for year kFirstListedYear + i.
    QStringList yearSymbols();
    // The short month names of the user's locale, January first.
    QStringList monthSymbols();
    // Image i is the theme's bar image for tag i (0 to 5).
    std::vector<QPixmap> colorTags();

private:
    Utility* utility_;
    std::optional<QStringList> yearSymbols_;
    std::optional<QStringList> monthSymbols_;
    std::optional<std::vector<QPixmap>> colorTags_;
};

} // namespace quillet
