// The journal side of the application delegate: the filter's operations,
// forwarded to the diary's JournalFilter, and the window's journal controls,
// bound by the ui's JournalControls.
#include "app/AppDelegate.h"

#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "ui/journal/JournalControls.h"

namespace quillet {

// ---- Filter and order: the diary's JournalFilter

DateComponents AppDelegate::currentMonth() {
    return filter_->currentMonth();
}
void AppDelegate::setCurrentMonth(const std::optional<DateComponents>& month) {
    filter_->setCurrentMonth(month);
}
std::optional<int> AppDelegate::colorFilter() const {
    return filter_->colorFilter();
}
void AppDelegate::setColorFilter(std::optional<int> filter) {
    filter_->setColorFilter(filter);
}
QString AppDelegate::currPredicateFormat() {
    return filter_->currPredicateFormat();
}
Predicate AppDelegate::currPredicate() {
    return filter_->currPredicate();
}
const std::vector<SortDescriptor>& AppDelegate::currSortDescriptors() {
    return filter_->currSortDescriptors();
}
void AppDelegate::reloadData() {
    filter_->reloadData();
}
void AppDelegate::workaround_AvoidEmptySelection() {
    filter_->workaround_AvoidEmptySelection();
}

// ---- Month and year selection

IndexSet AppDelegate::monthSelectionIndexs() {
    return filter_->monthSelectionIndexs();
}
void AppDelegate::setMonthSelectionIndexs(const std::optional<IndexSet>& indexes) {
    filter_->setMonthSelectionIndexs(indexes);
}
int AppDelegate::yearSelectionIndex() {
    return filter_->yearSelectionIndex();
}
void AppDelegate::setYearSelectionIndex(int index) {
    filter_->setYearSelectionIndex(index);
}
IndexSet AppDelegate::colorTagSelectionIndexs() {
    return filter_->colorTagSelectionIndexs();
}
void AppDelegate::setColorTagSelectionIndexs(const std::optional<IndexSet>& indexes) {
    filter_->setColorTagSelectionIndexs(indexes);
}
void AppDelegate::currentMonth(QObject* sender) {
    filter_->currentMonth(sender);
}
void AppDelegate::nextYear(QObject* sender) {
    filter_->nextYear(sender);
}
void AppDelegate::prevYear(QObject* sender) {
    filter_->prevYear(sender);
}
void AppDelegate::nextMonth(QObject* sender) {
    filter_->nextMonth(sender);
}
void AppDelegate::prevMonth(QObject* sender) {
    filter_->prevMonth(sender);
}
void AppDelegate::yearPopupValueChanged(QObject* sender) {
    filter_->yearPopupValueChanged(sender);
}
void AppDelegate::initMonthPanelSelection() {
    filter_->initMonthPanelSelection();
}

void AppDelegate::updateFilter(QObject* sender) {
    controls_->updateFilter(sender);
}
void AppDelegate::endEditing() {
    if (controls_) {
        controls_->endEditing();
    }
}

void AppDelegate::fontChanged(const Notification& note) {
    Q_UNUSED(note);
    setMonthSelectionIndexs(std::nullopt);
    reloadData();
}

// ---- The controls bound to the selection properties, and the editor

void AppDelegate::connectJournalControls() {
    controls_ = new JournalControls(window_, filter_, arrayController_, utility(), this);
    connect(controls_, &JournalControls::didEndEditing, this, [this] { textDidEndEditing(); });
    controls_->setNewEntryForTyping([this] { return newVisibleEntry(); });
    controls_->connectControls();
}

} // namespace quillet
