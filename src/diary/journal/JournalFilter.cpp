#include "diary/journal/JournalFilter.h"

#include "core/Calendar.h"
#include "core/Clock.h"
#include "diary/transformers/ValueTransformer.h"
#include "store/ArrayController.h"

#include <QTimer>

namespace quillet {

JournalFilter::JournalFilter(ArrayController* list, MonthTag monthTag, SearchText searchText,
                             QObject* parent)
    : QObject(parent), list_(list), monthTag_(std::move(monthTag)),
      searchText_(std::move(searchText)) {}

DateComponents JournalFilter::currentMonth() {
    if (!currentMonth_) {
        currentMonth_ = Calendar::currentCalendar().components(Clock::now());
    }
    return *currentMonth_;
}

QString JournalFilter::currPredicateFormat() {
    const QString search = searchText();
    if (!search.isEmpty()) {
        return predicateFormat(search, colorFilter_.value_or(0), 0);
    }
    const QDateTime first = Calendar::currentCalendar().dateFromComponents(currentMonth());
    return predicateFormat(search, colorFilter_.value_or(0), monthTag_(first));
}

QString JournalFilter::predicateFormat(const QString& search, int color, int monthTag) {
    if (!search.isEmpty()) {
        QString escaped = search;
        // Backslashes first, so that the ones added for quotes are not doubled.
        escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
        escaped.replace(QLatin1String("\""), QLatin1String("\\\""));
        QString format = QStringLiteral("entryText contains[cd] \"%1\"").arg(escaped);
        if (color > 0) {
            format += QString::asprintf(" AND colorTag = %i", color);
        }
        return format;
    }
    if (color != 0) {
        return QString::asprintf("monthTag = %i AND colorTag = %i", monthTag, color);
    }
    return QString::asprintf("monthTag = %i", monthTag);
}

Predicate JournalFilter::currPredicate() {
    // The format is built by this class alone, so it always parses.
    return *Predicate::parse(currPredicateFormat());
}

const std::vector<SortDescriptor>& JournalFilter::currSortDescriptors() {
    if (!currSortDescriptors_) {
        currSortDescriptors_ =
            std::vector<SortDescriptor>{SortDescriptor(QStringLiteral("timeStamp"), false)};
    }
    return *currSortDescriptors_;
}

void JournalFilter::reloadData() {
    if (!list_) {
        return;
    }
    list_->setFilterPredicate(currPredicate());
    workaround_AvoidEmptySelection();
}

void JournalFilter::workaround_AvoidEmptySelection() {
    if (list_ && list_->count() > 0 && list_->selectionIndex() == IndexSet::NotFound) {
        list_->setSelectionIndex(0);
    }
}

IndexSet JournalFilter::monthSelectionIndexs() {
    return IndexSet::indexSetWithIndex(std::size_t(currentMonth().month - 1));
}

void JournalFilter::setMonthSelectionIndexs(const std::optional<IndexSet>& indexes) {
    if (indexes && !indexes->isEmpty()) {
        DateComponents month = currentMonth();
        month.month = int(indexes->firstIndex()) + 1;
        currentMonth_ = month;
    }
    QTimer::singleShot(0, this, [this] { reloadData(); });
    emit monthSelectionIndexsChanged();
}

int JournalFilter::yearSelectionIndex() {
    return currentMonth().year - kFirstListedYear;
}

void JournalFilter::setYearSelectionIndex(int index) {
    if (index >= 0) {
        DateComponents month = currentMonth();
        month.year = index + kFirstListedYear;
        currentMonth_ = month;
    }
    emit yearSelectionIndexChanged();
}

IndexSet JournalFilter::colorTagSelectionIndexs() {
    if (!colorFilter_) {
        colorFilter_ = 0;
    }
    return IndexSet::indexSetWithIndex(std::size_t(*colorFilter_));
}

void JournalFilter::setColorTagSelectionIndexs(const std::optional<IndexSet>& indexes) {
    if (indexes && !indexes->isEmpty()) {
        colorFilter_ = int(indexes->firstIndex());
    }
    reloadData();
    emit colorTagSelectionIndexsChanged();
}

void JournalFilter::currentMonth(QObject* sender) {
    Q_UNUSED(sender);
    currentMonth_.reset();
    setYearSelectionIndex(currentMonth().year - kFirstListedYear);
    setMonthSelectionIndexs(IndexSet::indexSetWithIndex(std::size_t(currentMonth().month - 1)));
}

void JournalFilter::nextYear(QObject* sender) {
    Q_UNUSED(sender);
    setYearSelectionIndex(yearSelectionIndex() + 1);
    reloadData();
}

void JournalFilter::prevYear(QObject* sender) {
    Q_UNUSED(sender);
    setYearSelectionIndex(yearSelectionIndex() - 1);
    reloadData();
}

void JournalFilter::nextMonth(QObject* sender) {
    Q_UNUSED(sender);
    DateComponents month = currentMonth();
    month.month += 1; // carried into the year by the calendar when the month tag is made
    currentMonth_ = month;
    setMonthSelectionIndexs(std::nullopt);
    reloadData();
}

void JournalFilter::prevMonth(QObject* sender) {
    Q_UNUSED(sender);
    DateComponents month = currentMonth();
    month.month -= 1;
    currentMonth_ = month;
    setMonthSelectionIndexs(std::nullopt);
    reloadData();
}

void JournalFilter::yearPopupValueChanged(QObject* sender) {
    Q_UNUSED(sender);
    reloadData();
}

void JournalFilter::initMonthPanelSelection() {
    setMonthSelectionIndexs(std::nullopt);
    setYearSelectionIndex(-1);
}

void JournalFilter::showMonthOf(const QDateTime& moment) {
    // The selectors' indexes, read the way their bindings read a date.
    const auto index = [&moment](const char* name) {
        const auto transformer =
            ValueTransformer::valueTransformerForName(QString::fromLatin1(name));
        return transformer->transformedValue(moment).toInt();
    };
    setMonthSelectionIndexs(
        IndexSet::indexSetWithIndex(std::size_t(index("DateToMonthIndexTransformer"))));
    // A year before the list's first is not taken over; the month still is.
    setYearSelectionIndex(index("DateToYearIndexTransformer"));
}

} // namespace quillet
