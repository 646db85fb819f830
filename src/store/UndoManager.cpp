#include "store/UndoManager.h"

#include <QTimer>

namespace quillet {

UndoManager::UndoManager(QObject* parent) : QObject(parent) {}

void UndoManager::registerUndo(std::function<void()> action) {
    if (disabled_ > 0) {
        return;
    }
    if (undoing_ || redoing_) {
        // Collected by runGroup into the opposite stack.
        open_.push_back(std::move(action));
        return;
    }
    if (level_ == 0) {
        if (!groupsByEvent_) {
            return;
        }
        beginUndoGrouping();
        autoOpened_ = true;
        QTimer::singleShot(0, this, [this] { closeOpenGroup(); });
    }
    open_.push_back(std::move(action));
    redoStack_.clear();
}

void UndoManager::beginUndoGrouping() {
    ++level_;
}

void UndoManager::endUndoGrouping() {
    if (level_ == 0) {
        return;
    }
    if (--level_ == 0) {
        autoOpened_ = false;
        if (!open_.empty()) {
            undoStack_.push_back(std::move(open_));
            open_.clear();
            emit stateChanged();
        }
    }
}

void UndoManager::closeOpenGroup() {
    if (autoOpened_ && level_ == 1) {
        endUndoGrouping();
    }
}

bool UndoManager::canUndo() const {
    return !undoStack_.empty() || (level_ > 0 && !open_.empty() && !undoing_ && !redoing_);
}

bool UndoManager::canRedo() const {
    return !redoStack_.empty();
}

void UndoManager::runGroup(Group group) {
    open_.clear();
    for (auto it = group.rbegin(); it != group.rend(); ++it) {
        (*it)();
    }
}

void UndoManager::undo() {
    if (beforeUndoOrRedo_) {
        beforeUndoOrRedo_();
    }
    closeOpenGroup();
    if (undoStack_.empty()) {
        return;
    }
    Group group = std::move(undoStack_.back());
    undoStack_.pop_back();
    undoing_ = true;
    runGroup(std::move(group));
    undoing_ = false;
    if (!open_.empty()) {
        redoStack_.push_back(std::move(open_));
    }
    open_.clear();
    emit stateChanged();
}

void UndoManager::redo() {
    if (beforeUndoOrRedo_) {
        beforeUndoOrRedo_();
    }
    closeOpenGroup();
    if (redoStack_.empty()) {
        return;
    }
    Group group = std::move(redoStack_.back());
    redoStack_.pop_back();
    redoing_ = true;
    runGroup(std::move(group));
    redoing_ = false;
    if (!open_.empty()) {
        undoStack_.push_back(std::move(open_));
    }
    open_.clear();
    emit stateChanged();
}

void UndoManager::removeAllActions() {
    undoStack_.clear();
    redoStack_.clear();
    open_.clear();
    level_ = 0;
    autoOpened_ = false;
    emit stateChanged();
}

} // namespace quillet
