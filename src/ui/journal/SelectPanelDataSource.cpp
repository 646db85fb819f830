#include "ui/journal/SelectPanelDataSource.h"

#include "core/DateFormatter.h"
#include "diary/Utility.h"
#include "diary/journal/YearList.h"
#include "ui/appearance/ImageLibrary.h"

#include <QDate>

namespace quillet {

QStringList SelectPanelDataSource::yearSymbols() {
    if (!yearSymbols_) {
        // Through next year, so that today's year (and the turn of the year) can be picked.
        QStringList years;
        const int last = QDate::currentDate().year() + 1;
        for (int year = kFirstListedYear; year <= last; ++year) {
            years.append(QString::number(year));
        }
        yearSymbols_ = years;
    }
    return *yearSymbols_;
}

QStringList SelectPanelDataSource::monthSymbols() {
    if (!monthSymbols_) {
        monthSymbols_ = DateFormatter().shortMonthSymbols();
    }
    return *monthSymbols_;
}

std::vector<QPixmap> SelectPanelDataSource::colorTags() {
    if (!colorTags_) {
        const QString pattern = utility_->themeBarImageName();
        std::vector<QPixmap> tags;
        for (int tag = 0; tag <= 5; ++tag) {
            tags.push_back(ImageLibrary::imageNamed(Utility::imageName(pattern, tag)));
        }
        colorTags_ = tags;
    }
    return *colorTags_;
}

} // namespace quillet
