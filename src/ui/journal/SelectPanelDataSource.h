#pragma once

#include <QPixmap>
#include <QStringList>
#include <optional>
#include <vector>

namespace quillet {

// The symbol lists of the month grid, the year control and the color tag
// selector. Each is built on first read and kept.
class SelectPanelDataSource {
public:
    static constexpr int kFirstYear = 1990;

    // "1990" through next year: index i stands for year 1990 + i.
    QStringList yearSymbols();
    void setYearSymbols(const QStringList& symbols) { yearSymbols_ = symbols; }
    // The short month names of the user's locale, January first.
    QStringList monthSymbols();
    void setMonthSymbols(const QStringList& symbols) { monthSymbols_ = symbols; }
    // Image i is the theme's bar image for tag i (0 to 5).
    std::vector<QPixmap> colorTags();
    void setColorTags(const std::vector<QPixmap>& tags) { colorTags_ = tags; }

private:
    std::optional<QStringList> yearSymbols_;
    std::optional<QStringList> monthSymbols_;
    std::optional<std::vector<QPixmap>> colorTags_;
};

} // namespace quillet
