#include "ui/LabelledToolButton.h"

#include <QActionEvent>

namespace quillet {

LabelledToolButton::LabelledToolButton(QAction* action, const QString& label, QWidget* parent)
    : QToolButton(parent), label_(label) {
    setDefaultAction(action);
    setText(label_);
}

void LabelledToolButton::actionEvent(QActionEvent* event) {
    QToolButton::actionEvent(event);
    if (event->type() == QEvent::ActionChanged && text() != label_) {
        setText(label_);
    }
}

} // namespace quillet
