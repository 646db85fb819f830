#include "ui/journal/JournalControls.h"
#include "ui/journal/LongLinePieces.h"

#include "core/Calendar.h"
#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "diary/transformers/ValueTransformer.h"
#include "store/ArrayController.h"
#include "store/ChangeSet.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"
#include "ui/MainWindow.h"
#include "ui/appearance/ColorTagImageTransformer.h"
#include "ui/appearance/ThemeStyle.h"
#include "ui/journal/ColorTagSelectView.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/MonthCellDelegate.h"
#include "ui/journal/MonthSelectView.h"
#include "ui/journal/SelectPanelDataSource.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <limits>

namespace quillet {

namespace {

constexpr int kMonthPanelHeight = 137;

QString kEmptyPanePlaceholder() {
    return JournalControls::tr("Type here to begin a new entry.");
}

// Whether the editor shows text other than as given: it turns carriage
// returns (and the document's own separators) into its line ends.
bool showsOtherwise(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) ||
               c == QChar(0xFDD1);
    });
}

QVariant transformed(const QString& name, const QVariant& value) {
    const std::shared_ptr<ValueTransformer> transformer =
        ValueTransformer::valueTransformerForName(name);
    return transformer ? transformer->transformedValue(value) : QVariant();
}

// Draws the entry's paper, tiled from the panel's top-left corner, over the
// panel's plain background and under the editor, which is transparent.
class EditorPaper : public QObject {
public:
    explicit EditorPaper(QWidget* panel) : QObject(panel), panel_(panel) {
        setObjectName(QStringLiteral("editorPaper"));
        panel->installEventFilter(this);
    }
    void setPaper(const QPixmap& paper) {
        if (paper.cacheKey() != paper_.cacheKey()) {
            paper_ = paper;
            panel_->update();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == panel_ && event->type() == QEvent::Paint && !paper_.isNull()) {
            QPainter painter(panel_);
            painter.fillRect(static_cast<QPaintEvent*>(event)->rect(), QBrush(paper_));
        }
        return false;
    }

private:
    QWidget* panel_;
    QPixmap paper_;
};

EditorPaper* editorPaper(QWidget* panel) {
    for (QObject* child : panel->children()) {
        if (child->objectName() == QLatin1String("editorPaper")) {
            return static_cast<EditorPaper*>(child);
        }
    }
    return new EditorPaper(panel);
}

// The editor side shows the selected entry's date, and its color tag as the
// paper behind the text and the band under it.
void decorateEditor(MainWindow* w, const ArrayController* list) {
    const ManagedObject* entry = list->selectedObject();
    const QVariant tag = entry ? entry->valueForKey(QStringLiteral("colorTag")) : QVariant(0);
    const QVariant date = entry ? entry->valueForKey(QStringLiteral("timeStamp")) : QVariant();

    w->dateLabel->setText(transformed(QStringLiteral("DateToStringTransformer"), date).toString());
    w->footLabel->setPixmap(
        transformed(QStringLiteral("ColorTagToFootImageTransformer"), tag).value<QPixmap>());
    editorPaper(w->editorPanel)
        ->setPaper(
            transformed(QStringLiteral("ColorTagToBackImageTransformer"), tag).value<QPixmap>());
}

} // namespace

JournalControls::JournalControls(MainWindow* window, JournalFilter* filter, ArrayController* list,
                                 Utility* utility, QObject* parent)
    : QObject(parent), window_(window), filter_(filter), arrayController_(list), utility_(utility) {
}

QLineEdit* JournalControls::searchField() const {
    return window_->searchField;
}
EditTextView* JournalControls::editTextView() const {
    return window_->editTextView;
}
EntryTableView* JournalControls::entryTableView() const {
    return window_->entryTableView;
}
QWidget* JournalControls::monthPanel() const {
    return window_->monthPanel;
}

void JournalControls::updateFilter(QObject* sender) {
    Q_UNUSED(sender);
    setMonthPanelHeight(searchField()->text().isEmpty() ? kMonthPanelHeight : 0);
    filter_->reloadData();
}

void JournalControls::setMonthPanelHeight(int height) {
    QWidget* panel = monthPanel();
    if (!monthPanelAnimation_) {
        monthPanelAnimation_ = new QPropertyAnimation(panel, "maximumHeight", this);
        monthPanelAnimation_->setDuration(180);
        monthPanelAnimation_->setEasingCurve(QEasingCurve::InOutQuad);
    }
    // A keystroke while the panel is already on its way there leaves it
    // going: restarting would repaint the list for another whole animation.
    const bool running = monthPanelAnimation_->state() == QAbstractAnimation::Running;
    if (running ? monthPanelAnimation_->endValue().toInt() == height
                : panel->maximumHeight() == height && panel->isVisible()) {
        return;
    }
    monthPanelAnimation_->stop();
    if (!panel->isVisible()) {
        panel->setMaximumHeight(height);
        return;
    }
    monthPanelAnimation_->setStartValue(std::min(panel->height(), panel->maximumHeight()));
    monthPanelAnimation_->setEndValue(height);
    monthPanelAnimation_->start();
}

void JournalControls::connectControls() {
    MainWindow* w = window_;
    const QString theme = utility_->themeName();
    w->monthSelectView->setItemDelegate(new MonthCellDelegate(
        ThemeStyle::accentColor(theme), ThemeStyle::inkColor(theme), w->monthSelectView));
    w->monthSelectView->setMouseTracking(true);

    auto source = std::make_unique<SelectPanelDataSource>(utility_);

    auto* months = new QStringListModel(source->monthSymbols(), this);
    w->monthSelectView->setModel(months);
    w->yearPopUp->addItems(source->yearSymbols());
    applyAppearance();
    connect(utility_, &Utility::appearanceChanged, this, &JournalControls::applyAppearance);

    // Controls write the properties on user action and re-read them on every notification.
    connect(w->monthSelectView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!syncingSelection_ && index.isValid()) {
                    filter_->setMonthSelectionIndexs(
                        IndexSet::indexSetWithIndex(std::size_t(index.row())));
                }
            });
    connect(filter_, &JournalFilter::monthSelectionIndexsChanged, this, [this, w] {
        syncingSelection_ = true;
        const int row = int(filter_->monthSelectionIndexs().firstIndex());
        if (row >= 0 && row < 12) {
            w->monthSelectView->setCurrentIndex(w->monthSelectView->model()->index(row, 0));
        } else {
            w->monthSelectView->clearSelection();
        }
        syncingSelection_ = false;
    });
    connect(w->yearPopUp, &QComboBox::activated, this, [this, w](int index) {
        filter_->setYearSelectionIndex(index);
        filter_->yearPopupValueChanged(w->yearPopUp);
    });
    connect(filter_, &JournalFilter::yearSelectionIndexChanged, this, [this, w] {
        const int index = filter_->yearSelectionIndex();
        w->yearPopUp->setPlaceholderText(QString::number(filter_->currentMonth().year));
        w->yearPopUp->setCurrentIndex(index < w->yearPopUp->count() ? index : -1);
    });
    connect(w->colorTagSelectView, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncingSelection_ && row >= 0) {
            filter_->setColorTagSelectionIndexs(IndexSet::indexSetWithIndex(std::size_t(row)));
        }
    });
    auto showColorTag = [this, w] {
        syncingSelection_ = true;
        const int row = int(filter_->colorTagSelectionIndexs().firstIndex());
        w->colorTagSelectView->setCurrentRow(row >= 0 && row < 6 ? row : -1);
        syncingSelection_ = false;
    };
    connect(filter_, &JournalFilter::colorTagSelectionIndexsChanged, this, showColorTag);
    showColorTag(); // a bound control reads its value when it is bound
    connect(w->searchField, &QLineEdit::textChanged, this,
            [this, w] { updateFilter(w->searchField); });

    // The list view and the controller share one selection.
    connect(w->entryTableView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!syncingSelection_ && index.isValid()) {
                    arrayController_->setSelectionIndex(std::size_t(index.row()));
                }
            });
    connect(arrayController_, &ArrayController::selectionChanged, this, [this] {
        selectionToView();
        bindEditorToSelection();
    });
    connect(arrayController_, &QAbstractItemModel::modelReset, this, [this] { selectionToView(); });

    // An empty list says why it is empty and what to do.
    emptyListHint_ = new QLabel(w->entryTableView->viewport());
    emptyListHint_->setObjectName(QStringLiteral("emptyListHint"));
    emptyListHint_->setAlignment(Qt::AlignCenter);
    // The search text is shown as typed, never as markup.
    emptyListHint_->setTextFormat(Qt::PlainText);
    emptyListHint_->setWordWrap(true);
    emptyListHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->entryTableView->viewport()->installEventFilter(this);
    connect(arrayController_, &ArrayController::arrangedObjectsChanged, this,
            [this] { updateEmptyListHint(); });

    connect(w->editTextView->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                editorContentsChanged(position, removed, added);
            });
    connect(w->editTextView, &EditTextView::didEndEditing, this, [this] { emit didEndEditing(); });
    w->editTextView->setPlaceholderText(kEmptyPanePlaceholder());
}

void JournalControls::updateEmptyListHint() {
    if (!emptyListHint_) {
        return;
    }
    const bool empty = arrayController_->count() == 0;
    emptyListHint_->setVisible(empty);
    if (!empty) {
        return;
    }
    const QString search = searchField()->text();
    // The tag that narrows the list, named so that an empty list is not
    // taken for an empty month.
    static const char* const tagNames[] = {nullptr,
                                           QT_TR_NOOP("red"),
                                           QT_TR_NOOP("orange"),
                                           QT_TR_NOOP("yellow"),
                                           QT_TR_NOOP("green"),
                                           QT_TR_NOOP("blue")};
    const int color = filter_->colorFilter().value_or(0);
    const QString tag = color >= 1 && color <= 5 ? tr(tagNames[color]) : QString();
    if (!search.isEmpty()) {
        emptyListHint_->setText(tag.isEmpty()
                                    ? tr("No entry contains \u201c%1\u201d.").arg(search)
                                    : tr("No %1 entry contains \u201c%2\u201d.").arg(tag, search));
    } else {
        const QDateTime first =
            Calendar::currentCalendar().dateFromComponents(filter_->currentMonth());
        const QString month = utility_->stringWithDateFormat(QStringLiteral("LLLL yyyy"), first);
        const QString keys = window_->newEntryAction->shortcut().toString(QKeySequence::NativeText);
        emptyListHint_->setText(
            tag.isEmpty() ? tr("No entries in %1.\n\nPress %2 to write one.").arg(month, keys)
                          : tr("No %1 entries in %2.").arg(tag, month));
    }
    emptyListHint_->setGeometry(emptyListHint_->parentWidget()->rect().adjusted(16, 16, -16, -16));
}

bool JournalControls::eventFilter(QObject* watched, QEvent* event) {
    // The hint goes first when the list is torn down; the pointer tells.
    if (event->type() == QEvent::Resize && emptyListHint_ &&
        watched == emptyListHint_->parentWidget()) {
        emptyListHint_->setGeometry(
            emptyListHint_->parentWidget()->rect().adjusted(16, 16, -16, -16));
    }
    return QObject::eventFilter(watched, event);
}

void JournalControls::selectionToView() {
    syncingSelection_ = true;
    const std::size_t row = arrayController_->selectionIndex();
    QItemSelectionModel* selection = entryTableView()->selectionModel();
    if (row == IndexSet::NotFound) {
        selection->clear();
    } else {
        const QModelIndex index = arrayController_->index(int(row));
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        entryTableView()->scrollTo(index);
    }
    syncingSelection_ = false;
}

void JournalControls::bindEditorToSelection() {
    ManagedObject* entry = arrayController_->selectedObject();
    if (entry == boundEntry_ || beginningEntry_) {
        return;
    }
    endEditing();
    boundEntry_ = entry;
    const QString text = entry ? entry->entryText() : QString();
    loadingEditor_ = true;
    editTextView()->setEntryText(text);
    editTextView()->setPlaceholderText(entry ? QString() : kEmptyPanePlaceholder());
    loadingEditor_ = false;
    shownLength_ = editTextView()->textLength();
    shownOtherwise_ = showsOtherwise(text);
}

QString JournalControls::editorText() const {
    if (editTextView()->holdsPieces()) {
        return editTextView()->entryText();
    }
    QString text = editTextView()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QString JournalControls::editorText(int from, int count) const {
    if (editTextView()->holdsPieces()) {
        return LongLinePieces::text(editTextView()->document(), from, from + count);
    }
    QTextCursor range(editTextView()->document());
    range.setPosition(from);
    range.setPosition(from + count, QTextCursor::KeepAnchor);
    QString text = range.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void JournalControls::editorContentsChanged(int position, int removed, int added) {
    if (loadingEditor_) {
        return;
    }
    if (!boundEntry_) {
        beginEntryWithTyping();
        return;
    }
    ManagedObjectContext* context = boundEntry_->managedObjectContext();
    if (!boundEntry_->isLive() || !context) {
        return;
    }
    EditTextView* editor = editTextView();
    const qsizetype length = editor->textLength();
    const qsizetype was = shownLength_;
    // The document may count the end of its last block into the change.
    const int documentEnd = editor->document()->characterCount() - 1;
    const int putEnd = std::min(position + added, documentEnd);
    // A long line's pieces are breaks of the document, not of the text: the
    // span is measured in the text, what went by the lengths before and after.
    const qsizetype at = editor->textPosition(position);
    const QString put = editorText(position, std::max(0, putEnd - position));
    const qsizetype gone = editor->holdsPieces() ? was - (length - put.size())
                                                 : std::min<qsizetype>(removed, was - position);
    if (editor->holdsPieces() && gone >= 0 && at + gone <= was &&
        QStringView(boundEntry_->entryText()).mid(at, gone) == put) {
        shownLength_ = length; // only the pieces moved (a long line split after a key)
        return;
    }
    committing_ = true;
    if (shownOtherwise_ || position < 0 || gone < 0 || at + gone > was ||
        was - gone + put.size() != length) {
        context->replaceText(boundEntry_, 0, std::numeric_limits<qsizetype>::max() / 2,
                             editorText());
        shownOtherwise_ = false;
    } else {
        context->replaceText(boundEntry_, at, gone, put);
    }
    committing_ = false;
    shownLength_ = length;
}

void JournalControls::beginEntryWithTyping() {
    if (!newEntryForTyping_) {
        return;
    }
    // Making the entry visible may refilter the list and move its selection:
    // the editor keeps what was typed meanwhile.
    beginningEntry_ = true;
    ManagedObject* entry = newEntryForTyping_();
    beginningEntry_ = false;
    if (!entry || !entry->managedObjectContext()) {
        return;
    }
    boundEntry_ = entry;
    editTextView()->setPlaceholderText(QString());
    committing_ = true;
    entry->managedObjectContext()->replaceText(entry, 0, std::numeric_limits<qsizetype>::max() / 2,
                                               editorText());
    committing_ = false;
    shownLength_ = editTextView()->textLength();
    shownOtherwise_ = false;
    bindEditorToSelection();
}

void JournalControls::endEditing() {
    if (boundEntry_ && boundEntry_->isLive()) {
        if (ManagedObjectContext* context = boundEntry_->managedObjectContext()) {
            context->processPendingChanges();
        }
    }
}

void JournalControls::entryChanged(const ChangeSet& changes) {
    if (!boundEntry_ || loadingEditor_) {
        return;
    }
    for (ManagedObject* o : changes.deleted) {
        if (o == boundEntry_) {
            boundEntry_ = nullptr;
            bindEditorToSelection();
            return;
        }
    }
    if (committing_) {
        return; // the editor's own change
    }
    for (ManagedObject* o : changes.updated) {
        if (o == boundEntry_ && (changes.updatedKeys.isEmpty() ||
                                 changes.updatedKeys.contains(QStringLiteral("entryText")))) {
            showEntryText();
            return;
        }
    }
}

void JournalControls::showEntryText() {
    const QString text = boundEntry_->entryText();
    const QString shown = editorText();
    if (text == shown) {
        return;
    }
    // The one span that differs: [at, at + removed) of the editor becomes
    // `added` characters of the entry's text.
    const qsizetype shorter = std::min(text.size(), shown.size());
    const qsizetype at =
        std::mismatch(shown.cbegin(), shown.cbegin() + shorter, text.cbegin()).first -
        shown.cbegin();
    const qsizetype suffix =
        std::mismatch(shown.crbegin(), shown.crbegin() + (shorter - at), text.crbegin()).first -
        shown.crbegin();
    const qsizetype removed = shown.size() - at - suffix;
    const qsizetype added = text.size() - at - suffix;
    const auto mapped = [&](qsizetype p) {
        return p <= at ? p : p >= at + removed ? p + added - removed : at + added;
    };

    EditTextView* editor = editTextView();
    QTextDocument* document = editor->document();
    QTextCursor caret = editor->textCursor();
    // Positions below are in the text; the document holds long lines in pieces.
    const qsizetype anchor = editor->textPosition(caret.anchor());
    const qsizetype position = editor->textPosition(caret.position());
    QScrollBar* scroll = editor->verticalScrollBar();
    const QTextBlock top =
        editor->document()->findBlock(int(editor->cursorForPosition(QPoint(0, 0)).position()));
    const int linesIntoTop = scroll->value() - top.firstLineNumber();
    const qsizetype topAt = editor->textPosition(top.position());

    loadingEditor_ = true;
    QTextCursor edit(document);
    edit.setPosition(editor->documentPosition(at));
    edit.setPosition(editor->documentPosition(at + removed), QTextCursor::KeepAnchor);
    if (editor->holdsPieces() || LongLinePieces::hasLongLine(text)) {
        editor->notePieces();
        LongLinePieces::insertText(edit, QStringView(text).mid(at, added));
    } else {
        edit.insertText(text.mid(at, added));
    }
    loadingEditor_ = false;
    shownLength_ = editor->textLength();
    shownOtherwise_ = showsOtherwise(text);

    ManagedObjectContext* context = boundEntry_->managedObjectContext();
    const UndoManager* undo = context ? context->undoManager() : nullptr;
    if (undo && (undo->isUndoing() || undo->isRedoing())) {
        // Undo and redo show where they changed the text.
        caret.setPosition(editor->documentPosition(at + added));
        editor->setTextCursor(caret);
        editor->ensureCursorVisible();
        return;
    }
    // Another machine's change: the caret, the selection and the view stay
    // where they were in the text, moved by what changed before them.
    caret.setPosition(editor->documentPosition(mapped(anchor)));
    caret.setPosition(editor->documentPosition(mapped(position)), QTextCursor::KeepAnchor);
    editor->setTextCursor(caret);
    // The view follows the line it showed first, also when text came just before it.
    const qsizetype topNow = topAt < at              ? topAt
                             : topAt >= at + removed ? topAt + added - removed
                                                     : at + added;
    scroll->setValue(document->findBlock(editor->documentPosition(topNow)).firstLineNumber() +
                     linesIntoTop);
}

void JournalControls::applyAppearance() {
    MainWindow* w = window_;
    const QString theme = utility_->themeName();
    const bool dark = utility_->isDarkAppearance();
    w->setStyleSheet(ThemeStyle::styleSheet(theme, dark));
    if (auto* months = qobject_cast<MonthCellDelegate*>(w->monthSelectView->itemDelegate())) {
        months->setColors(ThemeStyle::accentColor(theme, dark), ThemeStyle::inkColor(theme, dark));
    }
    w->colorTagSelectView->setImages(SelectPanelDataSource(utility_).colorTags());
    if (decorated_) {
        decorateEditor(w, arrayController_);
    }
    w->update();
}

void JournalControls::connectEditorDecoration() {
    decorated_ = true;
    ColorTagImageTransformer::registerClasses(utility_);
    auto decorate = [this] { decorateEditor(window_, arrayController_); };
    connect(arrayController_, &ArrayController::selectionChanged, this, decorate);
    connect(arrayController_, &QAbstractItemModel::modelReset, this, decorate);
    connect(arrayController_, &QAbstractItemModel::dataChanged, this,
            [this, decorate](const QModelIndex& first, const QModelIndex& last) {
                const std::size_t row = arrayController_->selectionIndex();
                if (row != IndexSet::NotFound && int(row) >= first.row() &&
                    int(row) <= last.row()) {
                    decorate();
                }
            });
    decorate();
}

} // namespace quillet
