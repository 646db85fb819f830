#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

namespace quillet {

// Hands chosen keys of a text field to the window's menu: the field then
// treats them as unbound, and the menu command runs wherever the focus is.
// Only for keys whose command matters more than the field's own use of them
// (Ctrl+E exports; the field's "end of line" is also the End key).
class WindowKeys : public QObject {
    Q_OBJECT
public:
    static void giveToWindow(QWidget* field, const QList<QKeySequence>& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowKeys(QWidget* field, const QList<QKeySequence>& keys);
    QList<QKeySequence> keys_;
};

} // namespace quillet
