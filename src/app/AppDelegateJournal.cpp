// The journal side of the application delegate: the entry list's filter and
// order, month and year selection, and the editor bound to the selected entry.
#include "app/AppDelegate.h"

#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "ui/appearance/ThemeStyle.h"
#include "ui/journal/ColorTagSelectView.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/MonthCellDelegate.h"
#include "ui/journal/MonthSelectView.h"
#include "ui/journal/SelectPanelDataSource.h"
#include "store/ArrayController.h"
#include "core/Calendar.h"
#include "store/ChangeSet.h"
#include "core/Clock.h"
#include "store/ManagedObject.h"
#include "ui/settings/SettingWindowController.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPropertyAnimation>
#include <QStringListModel>
#include <QTimer>

namespace quillet {

namespace {
constexpr int kMonthPanelHeight = 137;
} // namespace

// ---- Filter and order: the diary's JournalFilter

DateComponents AppDelegate::currentMonth() { return filter_->currentMonth(); }
void AppDelegate::setCurrentMonth(const std::optional<DateComponents>& month) { filter_->setCurrentMonth(month); }
bool AppDelegate::hasCurrentMonth() const { return filter_->hasCurrentMonth(); }
std::optional<int> AppDelegate::colorFilter() const { return filter_->colorFilter(); }
void AppDelegate::setColorFilter(std::optional<int> filter) { filter_->setColorFilter(filter); }
QString AppDelegate::currPredicateFormat() { return filter_->currPredicateFormat(); }
Predicate AppDelegate::currPredicate() { return filter_->currPredicate(); }
const std::vector<SortDescriptor>& AppDelegate::currSortDescriptors() { return filter_->currSortDescriptors(); }
void AppDelegate::reloadData() { filter_->reloadData(); }
void AppDelegate::workaround_AvoidEmptySelection() { filter_->workaround_AvoidEmptySelection(); }

void AppDelegate::updateFilter(QObject* sender) {
    Q_UNUSED(sender);
    setMonthPanelHeight(searchField()->text().isEmpty() ? kMonthPanelHeight : 0);
    reloadData();
}

void AppDelegate::setMonthPanelHeight(int height) {
    QWidget* panel = monthPanel();
    if (!monthPanelAnimation_) {
        monthPanelAnimation_ = new QPropertyAnimation(panel, "maximumHeight", this);
        monthPanelAnimation_->setDuration(180);
        monthPanelAnimation_->setEasingCurve(QEasingCurve::InOutQuad);
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

// ---- Month and year selection

IndexSet AppDelegate::monthSelectionIndexs() { return filter_->monthSelectionIndexs(); }
void AppDelegate::setMonthSelectionIndexs(const std::optional<IndexSet>& indexes) {
    filter_->setMonthSelectionIndexs(indexes);
}
int AppDelegate::yearSelectionIndex() { return filter_->yearSelectionIndex(); }
void AppDelegate::setYearSelectionIndex(int index) { filter_->setYearSelectionIndex(index); }
IndexSet AppDelegate::colorTagSelectionIndexs() { return filter_->colorTagSelectionIndexs(); }
void AppDelegate::setColorTagSelectionIndexs(const std::optional<IndexSet>& indexes) {
    filter_->setColorTagSelectionIndexs(indexes);
}
void AppDelegate::currentMonth(QObject* sender) { filter_->currentMonth(sender); }
void AppDelegate::nextYear(QObject* sender) { filter_->nextYear(sender); }
void AppDelegate::prevYear(QObject* sender) { filter_->prevYear(sender); }
void AppDelegate::nextMonth(QObject* sender) { filter_->nextMonth(sender); }
void AppDelegate::prevMonth(QObject* sender) { filter_->prevMonth(sender); }
void AppDelegate::yearPopupValueChanged(QObject* sender) { filter_->yearPopupValueChanged(sender); }
void AppDelegate::initMonthPanelSelection() { filter_->initMonthPanelSelection(); }

void AppDelegate::fontChanged(const Notification& note) {
    Q_UNUSED(note);
    setMonthSelectionIndexs(std::nullopt);
    reloadData();
}

// ---- The controls bound to the selection properties, and the editor

void AppDelegate::connectJournalControls() {
    MainWindow* w = window_;
    const QString theme = utility()->themeName();
    w->setStyleSheet(ThemeStyle::styleSheet(theme));
    settingWindowController_->setStyleSheet(ThemeStyle::styleSheet(theme));
    w->monthSelectView->setItemDelegate(new MonthCellDelegate(
        ThemeStyle::accentColor(theme), ThemeStyle::inkColor(theme), w->monthSelectView));
    w->monthSelectView->setMouseTracking(true);

    auto source = std::make_unique<SelectPanelDataSource>();

    auto* months = new QStringListModel(source->monthSymbols(), this);
    w->monthSelectView->setModel(months);
    w->yearPopUp->addItems(source->yearSymbols());
    w->colorTagSelectView->setImages(source->colorTags());

    // Controls write the properties on user action and re-read them on every notification.
    connect(w->monthSelectView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!syncingSelection_ && index.isValid()) {
                    setMonthSelectionIndexs(IndexSet::indexSetWithIndex(std::size_t(index.row())));
                }
            });
    connect(this, &AppDelegate::monthSelectionIndexsChanged, this, [this, w] {
        syncingSelection_ = true;
        const int row = int(monthSelectionIndexs().firstIndex());
        if (row >= 0 && row < 12) {
            w->monthSelectView->setCurrentIndex(w->monthSelectView->model()->index(row, 0));
        } else {
            w->monthSelectView->clearSelection();
        }
        syncingSelection_ = false;
    });
    connect(w->yearPopUp, &QComboBox::activated, this, [this, w](int index) {
        setYearSelectionIndex(index);
        yearPopupValueChanged(w->yearPopUp);
    });
    connect(this, &AppDelegate::yearSelectionIndexChanged, this, [this, w] {
        const int index = yearSelectionIndex();
        w->yearPopUp->setPlaceholderText(QString::number(currentMonth().year));
        w->yearPopUp->setCurrentIndex(index < w->yearPopUp->count() ? index : -1);
    });
    connect(w->colorTagSelectView, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncingSelection_ && row >= 0) {
            setColorTagSelectionIndexs(IndexSet::indexSetWithIndex(std::size_t(row)));
        }
    });
    auto showColorTag = [this, w] {
        syncingSelection_ = true;
        const int row = int(colorTagSelectionIndexs().firstIndex());
        w->colorTagSelectView->setCurrentRow(row >= 0 && row < 6 ? row : -1);
        syncingSelection_ = false;
    };
    connect(this, &AppDelegate::colorTagSelectionIndexsChanged, this, showColorTag);
    showColorTag(); // a bound control reads its value when it is bound
    connect(w->searchField, &QLineEdit::textChanged, this, [this, w] { updateFilter(w->searchField); });

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
    emptyListHint_->setWordWrap(true);
    emptyListHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->entryTableView->viewport()->installEventFilter(this);
    connect(arrayController_, &ArrayController::arrangedObjectsChanged, this, [this] { updateEmptyListHint(); });

    connect(w->editTextView, &QPlainTextEdit::textChanged, this, [this] { editorTextChanged(); });
    connect(w->editTextView, &EditTextView::didEndEditing, this, [this] { textDidEndEditing(); });
    w->editTextView->setReadOnly(true);
}

void AppDelegate::updateEmptyListHint() {
    if (!emptyListHint_) {
        return;
    }
    const bool empty = arrayController_->count() == 0;
    emptyListHint_->setVisible(empty);
    if (!empty) {
        return;
    }
    const QString search = searchField()->text();
    if (!search.isEmpty()) {
        emptyListHint_->setText(tr("No entry contains \u201c%1\u201d.").arg(search));
    } else {
        const QDateTime first = Calendar::currentCalendar().dateFromComponents(currentMonth());
        const QString month = utility()->stringWithDateFormat(QStringLiteral("LLLL yyyy"), first);
        emptyListHint_->setText(tr("No entries in %1.\n\nPress %2 to write one.")
                                    .arg(month, window_->newEntryAction->shortcut().toString(QKeySequence::NativeText)));
    }
    emptyListHint_->setGeometry(emptyListHint_->parentWidget()->rect().adjusted(16, 16, -16, -16));
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    // The hint goes first when the list is torn down; the pointer tells.
    if (event->type() == QEvent::Resize && emptyListHint_ && watched == emptyListHint_->parentWidget()) {
        emptyListHint_->setGeometry(emptyListHint_->parentWidget()->rect().adjusted(16, 16, -16, -16));
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::selectionToView() {
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

void AppDelegate::bindEditorToSelection() {
    ManagedObject* entry = arrayController_->selectedObject();
    if (entry == boundEntry_) {
        return;
    }
    boundEntry_ = entry;
    loadingEditor_ = true;
    editTextView()->setPlainText(entry ? entry->entryText() : QString());
    editTextView()->setReadOnly(entry == nullptr);
    loadingEditor_ = false;
}

void AppDelegate::editorTextChanged() {
    if (loadingEditor_ || !boundEntry_ || !boundEntry_->isLive()) {
        return;
    }
    boundEntry_->setValue(editTextView()->toPlainText(), QStringLiteral("entryText"));
}

void AppDelegate::endEditing() {
    editorTextChanged();
}

void AppDelegate::entryChanged(const ChangeSet& changes) {
    // A change made elsewhere (undo, a merge) to the entry on screen shows in the editor.
    if (!boundEntry_ || loadingEditor_) {
        return;
    }
    for (ManagedObject* o : changes.updated) {
        if (o == boundEntry_ && (changes.updatedKeys.isEmpty() ||
                                 changes.updatedKeys.contains(QStringLiteral("entryText")))) {
            const QString text = boundEntry_->entryText();
            if (text != editTextView()->toPlainText()) {
                loadingEditor_ = true;
                editTextView()->setPlainText(text);
                loadingEditor_ = false;
            }
        }
    }
    for (ManagedObject* o : changes.deleted) {
        if (o == boundEntry_) {
            boundEntry_ = nullptr;
            bindEditorToSelection();
        }
    }
}

} // namespace quillet
