#pragma once

#include <QStyledItemDelegate>

namespace quillet {

class ManagedObject;
class Utility;

// Paints a row of the entry list: the color tag strip, the day (number and
// weekday) on the first entry of each day, the entry's first line and its
// time, and while the list shows search results the entry's month and year.
// Everything shown goes through the named value transformers, so the row
// follows the theme and the user's locale.
class EntryRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 52;

    // The theme's accent and images come from utility.
    explicit EntryRowDelegate(Utility* utility, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The first line of an entry's text, or an empty string.
    static QString titleOfEntry(const ManagedObject* entry);
    // Whether the row opens its day and so shows the day header.
    static bool showsDayHeader(const ManagedObject* entry);
    // The entry's month and year ("2012,Mar") while the list shows search
    // results, which span months and years; empty while it shows one month.
    static QString monthOfSearchResult(const ManagedObject* entry);

private:
    Utility* utility_;
};

} // namespace quillet
