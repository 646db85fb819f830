#pragma once

#include "core/TextMatch.h"

#include <QHash>
#include <QSet>
#include <QStyledItemDelegate>
#include <functional>

namespace quillet {

class ManagedObject;
class Utility;

// Paints a row of the entry list: the color tag strip, the day (number and
// weekday) on the first entry of each day, the entry's first line and its
// time, and while the list shows search results the entry's month and year.
// Everything shown goes through the named value transformers, so the row
// follows the theme and the user's locale. While a search is typed the row
// shows the text around its first match, the match marked.
class EntryRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 52;

    using SearchText = std::function<QString()>;
    // The theme's accent and images come from utility; searchText reads the
    // search field (none: the rows never show a match).
    explicit EntryRowDelegate(Utility* utility, SearchText searchText = {},
                              QObject* parent = nullptr);

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

    // The part of the entry's text a row shows for the current search: made
    // for painted rows only, kept until the search or the entry changes.
    const TextMatch::Snippet& snippetOfEntry(const ManagedObject* entry) const;

private:
    void watchContext(const ManagedObject* entry) const;

    Utility* utility_;
    SearchText searchText_;
    mutable QString cachedSearch_;
    mutable std::string foldedSearch_;
    mutable QHash<const ManagedObject*, TextMatch::Snippet> snippets_;
    mutable QSet<const QObject*> watched_;
};

} // namespace quillet
