#pragma once

#include "core/NotificationCenter.h"
#include "ui/passcode/PasscodeView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace quillet::test {

// One key press carrying text, as a keyboard of any script delivers it.
inline void typeKey(QWidget* target, int key, const QString& text,
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(target, &release);
}

// Each character of text as its own key press.
inline void typeDigits(QWidget* target, const QString& text) {
    for (uint point : text.toUcs4()) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
        const int key =
            (point >= '0' && point <= '9') ? int(Qt::Key_0 + (point - '0')) : int(Qt::Key_unknown);
        typeKey(target, key, character);
    }
}

inline int visibleDots(const PasscodeView& view) {
    int count = 0;
    for (QLabel* dot : {view.dot1(), view.dot2(), view.dot3(), view.dot4()}) {
        count += dot->isHidden() ? 0 : 1;
    }
    return count;
}

// The first dots shown in order, none out of order.
inline bool dotsShownInOrder(const PasscodeView& view, int count) {
    const QLabel* dots[] = {view.dot1(), view.dot2(), view.dot3(), view.dot4()};
    for (int i = 0; i < 4; ++i) {
        if (dots[i]->isHidden() == (i < count)) {
            return false;
        }
    }
    return true;
}

// Counts "PasscodeValid" while alive.
class PasscodeValidCounter {
public:
    PasscodeValidCounter() {
        token_ = NotificationCenter::defaultCenter().addObserver(
            QStringLiteral("PasscodeValid"), nullptr, [this](const Notification& note) {
                ++count;
                lastObject = note.object;
                lastUserInfo = note.userInfo;
            });
    }
    ~PasscodeValidCounter() { NotificationCenter::defaultCenter().removeObserver(token_); }
    int count = 0;
    const void* lastObject = reinterpret_cast<const void*>(1);
    QVariantMap lastUserInfo;

private:
    int token_;
};

} // namespace quillet::test
