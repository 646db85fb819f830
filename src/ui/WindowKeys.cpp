#include "ui/WindowKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace quillet {

WindowKeys::WindowKeys(QWidget* field, const QList<QKeySequence>& keys)
    : QObject(field), keys_(keys) {}

void WindowKeys::giveToWindow(QWidget* field, const QList<QKeySequence>& keys) {
    field->installEventFilter(new WindowKeys(field, keys));
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    // A text field claims the keys it binds by accepting the shortcut
    // override; left unclaimed, the key goes to the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QKeySequence& given : keys_) {
            if (given.matches(pressed) == QKeySequence::ExactMatch) {
                event->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillet
