#pragma once

#include <QObject>
#include <functional>
#include <vector>

namespace quillet {

// Records inverse actions in groups; undo runs the last group backwards and
// what it registers meanwhile becomes the redo group. With groupsByEvent, a
// group opens at the first registration and closes at the next turn of the
// event loop (or at an explicit endUndoGrouping / closeOpenGroup).
class UndoManager : public QObject {
    Q_OBJECT
public:
    explicit UndoManager(QObject* parent = nullptr);

    void registerUndo(std::function<void()> action);
    void beginUndoGrouping();
    void endUndoGrouping();
    // Ends a group that was opened automatically for the current event.
    void closeOpenGroup();

    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();
    bool isUndoing() const { return undoing_; }
    bool isRedoing() const { return redoing_; }
    void removeAllActions();

    void disableUndoRegistration() { ++disabled_; }
    void enableUndoRegistration() { --disabled_; }
    bool isUndoRegistrationEnabled() const { return disabled_ == 0; }

    void setGroupsByEvent(bool on) { groupsByEvent_ = on; }
    // Runs before every undo and redo, so that work still gathering into a
    // step (typing until the next pause) becomes that step first.
    void setBeforeUndoOrRedo(std::function<void()> handler) {
        beforeUndoOrRedo_ = std::move(handler);
    }

signals:
    void stateChanged();

private:
    using Group = std::vector<std::function<void()>>;
    void runGroup(Group group);

    std::vector<Group> undoStack_;
    std::vector<Group> redoStack_;
    Group open_;
    int level_ = 0;
    bool autoOpened_ = false;
    bool undoing_ = false;
    bool redoing_ = false;
    int disabled_ = 0;
    bool groupsByEvent_ = true;
    std::function<void()> beforeUndoOrRedo_;
};

} // namespace quillet
