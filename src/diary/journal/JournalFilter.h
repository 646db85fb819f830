#pragma once

#include "core/DateComponents.h"
#include "core/IndexSet.h"
#include "diary/journal/YearList.h"
#include "store/Predicate.h"
#include "store/SortDescriptor.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <optional>
#include <vector>

namespace quillet {

class ArrayController;

// What the entry list shows: the selected month, the color filter and the
// search text become the list's predicate; the order is newest first. The
// month, year and color selections are observable properties: every setter
// call emits its signal, and the controls bound to them re-read them.
class JournalFilter : public QObject {
    Q_OBJECT
public:
    using MonthTag = std::function<int(const QDateTime&)>;
    using SearchText = std::function<QString()>;
    // `monthTag` turns a moment into its month tag; `searchText` reads the
    // search field at every reload. The list may be null until the window has one.
    JournalFilter(ArrayController* list, MonthTag monthTag, SearchText searchText,
                  QObject* parent = nullptr);

    ArrayController* arrayController() const { return list_; }
    void setArrayController(ArrayController* list) { list_ = list; }

    // The selected month; today's until one is chosen.
    DateComponents currentMonth();
    void setCurrentMonth(const std::optional<DateComponents>& month) { currentMonth_ = month; }
    bool hasCurrentMonth() const { return currentMonth_.has_value(); }
    std::optional<int> colorFilter() const { return colorFilter_; }
    void setColorFilter(std::optional<int> filter) { colorFilter_ = filter; }
    QString searchText() const { return searchText_ ? searchText_() : QString(); }

    // A search looks through every month; otherwise the list holds the
    // selected month. A color filter of 0 is none.
    QString currPredicateFormat();
    // The predicate text for a search (all months) or else one month tag;
    // a color of 0 is no color filter.
    static QString predicateFormat(const QString& search, int color, int monthTag);
    Predicate currPredicate();
    const std::vector<SortDescriptor>& currSortDescriptors();
    // Gives the list the current predicate and keeps something selected.
    void reloadData();
    void workaround_AvoidEmptySelection();

    IndexSet monthSelectionIndexs();
    // Refilters after the event being handled (queued), as a bound month
    // grid does.
    void setMonthSelectionIndexs(const std::optional<IndexSet>& indexes);
    int yearSelectionIndex();
    void setYearSelectionIndex(int index);
    IndexSet colorTagSelectionIndexs();
    void setColorTagSelectionIndexs(const std::optional<IndexSet>& indexes);

    // Back to today's month.
    void currentMonth(QObject* sender);
    void nextYear(QObject* sender);
    void prevYear(QObject* sender);
    void nextMonth(QObject* sender);
    void prevMonth(QObject* sender);
    void yearPopupValueChanged(QObject* sender);
    // The month grid and year list read their selection at launch.
    void initMonthPanelSelection();
    // Selects the month and year of a moment (after an entry was re-dated).
    void showMonthOf(const QDateTime& moment);

signals:
    void monthSelectionIndexsChanged();
    void yearSelectionIndexChanged();
    void colorTagSelectionIndexsChanged();

private:
    ArrayController* list_;
    MonthTag monthTag_;
    SearchText searchText_;
    std::optional<DateComponents> currentMonth_;
    std::optional<int> colorFilter_;
    std::optional<std::vector<SortDescriptor>> currSortDescriptors_;
};

} // namespace quillet
