#pragma once

#include <QWidget>

namespace quillet {

// Focus moves between the three journal panes by Return, Escape and the
// pointer; these keep the rules in one place.

// The pointer entering a pane gives it the keyboard focus, but only in the
// active window: a pane must not pull the focus out of another window's
// hands while the pointer merely passes over it.
inline void takeFocusOnPointerEntry(QWidget* pane) {
    if (pane->isActiveWindow()) {
        pane->setFocus(Qt::MouseFocusReason);
    }
}

// Moves the focus to the next pane; false (the key is not consumed) when the
// pane is not connected or cannot take the focus.
inline bool moveFocusTo(QWidget* pane) {
    if (!pane || !pane->isVisible() || !pane->isEnabled()) {
        return false;
    }
    pane->setFocus(Qt::OtherFocusReason);
    return true;
}

inline bool isReturnKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace quillet
