#include "ui/journal/EntryRowDelegate.h"

#include "ui/appearance/ColorTagImageTransformer.h"

#include "core/TextFolder.h"
#include "diary/Utility.h"
#include "diary/transformers/ValueTransformer.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/appearance/ThemeStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace quillet {

namespace {

constexpr int kDayColumn = 44;
constexpr int kPadding = 8;

QVariant transformed(const char* name, const QVariant& value) {
    const std::shared_ptr<ValueTransformer> transformer =
        ValueTransformer::valueTransformerForName(QString::fromLatin1(name));
    return transformer ? transformer->transformedValue(value) : QVariant();
}

QColor mixed(const QColor& a, const QColor& b, qreal amountOfB) {
    return QColor::fromRgbF(float(a.redF() * (1 - amountOfB) + b.redF() * amountOfB),
                            float(a.greenF() * (1 - amountOfB) + b.greenF() * amountOfB),
                            float(a.blueF() * (1 - amountOfB) + b.blueF() * amountOfB));
}

// The text before the match, the match in bold on a tint of the accent, and
// what follows, each cut with an ellipsis where the row ends.
void drawSnippet(QPainter* painter, const QRect& rect, const TextMatch::Snippet& snippet,
                 const QColor& tint) {
    const QFont plain = painter->font();
    QFont bold = plain;
    bold.setBold(true);
    const QStringView all(snippet.text);
    const QStringView parts[] = {all.first(snippet.matchStart),
                                 all.sliced(snippet.matchStart, snippet.matchLength),
                                 all.sliced(snippet.matchStart + snippet.matchLength)};
    int x = rect.left();
    for (int i = 0; i < 3 && x < rect.right(); ++i) {
        const QFont& font = i == 1 ? bold : plain;
        const QFontMetrics metrics(font);
        const QString piece =
            metrics.elidedText(parts[i].toString(), Qt::ElideRight, rect.right() - x);
        const int width = metrics.horizontalAdvance(piece);
        const QRect pieceRect(x, rect.top(), width, rect.height());
        painter->setFont(font);
        if (i == 1) {
            const int lineTop = rect.bottom() - metrics.height();
            painter->fillRect(QRect(x - 1, lineTop, width + 2, metrics.height() + 1), tint);
        }
        painter->drawText(pieceRect, Qt::AlignLeft | Qt::AlignBottom, piece);
        x += width;
    }
    painter->setFont(plain);
}

} // namespace

EntryRowDelegate::EntryRowDelegate(Utility* utility, SearchText searchText, QObject* parent)
    : QStyledItemDelegate(parent), utility_(utility), searchText_(std::move(searchText)) {
    ColorTagImageTransformer::registerClasses(utility_);
}

const TextMatch::Snippet& EntryRowDelegate::snippetOfEntry(const ManagedObject* entry) const {
    static const TextMatch::Snippet none;
    const QString search = searchText_ ? searchText_() : QString();
    if (search != cachedSearch_) {
        cachedSearch_ = search;
        foldedSearch_ = TextFolder::fold(search);
        snippets_.clear();
    }
    if (!entry || foldedSearch_.empty()) {
        return none;
    }
    auto found = snippets_.constFind(entry);
    if (found == snippets_.constEnd()) {
        watchContext(entry);
        found = snippets_.insert(entry, TextMatch::snippet(entry->entryText(), foldedSearch_));
    }
    return *found;
}

void EntryRowDelegate::watchContext(const ManagedObject* entry) const {
    ManagedObjectContext* context = entry->managedObjectContext();
    if (!context || watched_.contains(context)) {
        return;
    }
    watched_.insert(context);
    connect(context, &QObject::destroyed, this, [this](QObject* gone) {
        watched_.remove(gone);
        snippets_.clear();
    });
    connect(
        context, &ManagedObjectContext::objectsDidChange, this, [this](const ChangeSet& changes) {
            if (changes.invalidatedAll.isValid()) {
                snippets_.clear();
                return;
            }
            for (const auto* list :
                 {&changes.updated, &changes.deleted, &changes.refreshed, &changes.invalidated}) {
                for (const ManagedObject* object : *list) {
                    snippets_.remove(object);
                }
            }
        });
}

QSize EntryRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    Q_UNUSED(index);
    return QSize(option.rect.width() > 0 ? option.rect.width() : 200, kRowHeight);
}

QString EntryRowDelegate::titleOfEntry(const ManagedObject* entry) {
    if (!entry) {
        return QString();
    }
    // The row shows a line at most: the start of a long text is enough.
    constexpr qsizetype kTitleBytes = 4096;
    QString text = entry->leadingText(kTitleBytes);
    if (text.trimmed().isEmpty()) {
        text = entry->entryText();
    }
    // Line by line up to the first with text, not a list of every line of a long entry.
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        if (end < 0) {
            end = text.size();
        }
        QStringView trimmed = QStringView(text).sliced(from, end - from).trimmed();
        if (!trimmed.isEmpty()) {
            // A row shows far less than this; eliding a pasted megabyte would
            // lay it all out at every paint.
            constexpr qsizetype kLongestTitle = 400;
            if (trimmed.size() > kLongestTitle) {
                trimmed = trimmed.first(trimmed[kLongestTitle].isLowSurrogate() ? kLongestTitle - 1
                                                                                : kLongestTitle);
            }
            return trimmed.toString();
        }
        from = end + 1;
    }
    return QString();
}

bool EntryRowDelegate::showsDayHeader(const ManagedObject* entry) {
    const QVariant notFirst = transformed("ObjectValueToNotFirstOfDayTransformer",
                                          QVariant::fromValue(const_cast<ManagedObject*>(entry)));
    return !notFirst.isValid() || !notFirst.toBool();
}

QString EntryRowDelegate::monthOfSearchResult(const ManagedObject* entry) {
    // Without a search field there is no search: the list shows one month.
    const QVariant searchEmpty = transformed("SearchActivityTransformer", QVariant());
    if (!entry || !searchEmpty.isValid() || searchEmpty.toBool()) {
        return QString();
    }
    return transformed("DateToMonthTransformer", entry->valueForKey(QStringLiteral("timeStamp")))
        .toString();
}

void EntryRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    auto* entry = index.data(ArrayController::ObjectRole).value<ManagedObject*>();
    if (!entry) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect rect = option.rect;
    const QPalette& palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused =
        option.state & QStyle::State_HasFocus || option.state & QStyle::State_Active;
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const QColor secondary = mixed(base, text, 0.55);
    const QColor accent = ThemeStyle::accentColor(utility_->themeName());

    painter->fillRect(rect, base);
    if (selected) {
        // A soft tint of the accent keeps the row readable in the list's own colors.
        painter->fillRect(rect, mixed(base, accent, focused ? 0.2 : 0.12));
    }

    const bool opensDay = showsDayHeader(entry);
    if (opensDay && index.row() > 0) {
        painter->setPen(QPen(mixed(base, text, 0.18), 1));
        painter->drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    } else if (index.row() > 0) {
        painter->setPen(QPen(mixed(base, text, 0.08), 1));
        painter->drawLine(rect.left() + 6 + kPadding + kDayColumn, rect.top(),
                          rect.right() - kPadding, rect.top());
    }

    const QVariant tag = entry->valueForKey(QStringLiteral("colorTag"));
    const QPixmap strip = transformed("ColorTagToCellTagImageTransformer", tag).value<QPixmap>();
    if (!strip.isNull()) {
        const QSizeF size = strip.deviceIndependentSize();
        const QRectF target(rect.left(), rect.top() + (rect.height() - size.height()) / 2.0,
                            size.width(), size.height());
        painter->drawPixmap(target, strip, QRectF(strip.rect()));
    }

    const QVariant date = entry->valueForKey(QStringLiteral("timeStamp"));
    const QRect dayRect(rect.left() + 6 + kPadding / 2, rect.top() + 6, kDayColumn,
                        rect.height() - 12);
    if (opensDay) {
        QFont dayFont = option.font;
        dayFont.setPointSizeF(option.font.pointSizeF() * 1.45);
        dayFont.setBold(true);
        painter->setFont(dayFont);
        painter->setPen(text);
        const QRect numberRect(dayRect.left(), dayRect.top(), dayRect.width(),
                               dayRect.height() * 3 / 5);
        painter->drawText(numberRect, Qt::AlignHCenter | Qt::AlignBottom,
                          transformed("DateToDayTransformer", date).toString());
        QFont weekFont = option.font;
        weekFont.setPointSizeF(option.font.pointSizeF() * 0.8);
        painter->setFont(weekFont);
        painter->setPen(secondary);
        const QRect weekRect(dayRect.left(), numberRect.bottom() + 1, dayRect.width(),
                             dayRect.bottom() - numberRect.bottom());
        painter->drawText(weekRect, Qt::AlignHCenter | Qt::AlignTop,
                          transformed("DateToWeekTransformer", date).toString().toUpper());
    }

    const int textLeft = dayRect.right() + kPadding;
    const QRect textRect(textLeft, rect.top() + 7, rect.right() - kPadding - textLeft,
                         rect.height() - 14);
    const TextMatch::Snippet& snippet = snippetOfEntry(entry);
    const QString title = snippet.matchStart >= 0 ? snippet.text : titleOfEntry(entry);
    QFont titleFont = option.font;
    if (title.isEmpty()) {
        titleFont.setItalic(true);
    }
    painter->setFont(titleFont);
    painter->setPen(title.isEmpty() ? secondary : text);
    const QFontMetrics titleMetrics(titleFont);
    const QString shown = title.isEmpty() ? tr("New entry") : title;
    const QRect titleRect(textRect.left(), textRect.top(), textRect.width(),
                          textRect.height() / 2 + 2);
    if (snippet.matchStart >= 0) {
        drawSnippet(painter, titleRect, snippet, mixed(base, accent, 0.35));
    } else {
        painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignBottom,
                          titleMetrics.elidedText(shown, Qt::ElideRight, titleRect.width()));
    }

    QFont timeFont = option.font;
    timeFont.setPointSizeF(option.font.pointSizeF() * 0.85);
    painter->setFont(timeFont);
    painter->setPen(secondary);
    const QRect timeRect(textRect.left(), titleRect.bottom() + 3, textRect.width(),
                         textRect.bottom() - titleRect.bottom() - 3);
    const QString time = transformed("DateToTimeTransformer", date).toString();
    painter->drawText(timeRect, Qt::AlignLeft | Qt::AlignTop, time);
    const QString month = monthOfSearchResult(entry);
    if (!month.isEmpty()) {
        const QFontMetrics timeMetrics(timeFont);
        const int room = timeRect.width() - timeMetrics.horizontalAdvance(time) - kPadding;
        painter->drawText(timeRect, Qt::AlignRight | Qt::AlignTop,
                          timeMetrics.elidedText(month, Qt::ElideRight, std::max(room, 0)));
    }

    painter->restore();
}

} // namespace quillet
