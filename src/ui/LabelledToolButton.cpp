#include "ui/LabelledToolButton.h"

#include <QActionEvent>

namespace quillet {

LabelledToolButton::LabelledToolButton(QAction* action, const QString& label, QWidget* parent)
    : QToolButton(parent), label_(label) {
    setDefaultAction(action);
    setText(label_);
    // A screen reader says the command, not a short label or a glyph such as "‹".
    QString spoken = action->text();
    spoken.remove(QLatin1Char('&')).remove(QChar(0x2026));
    setAccessibleName(spoken.trimmed());
}

void LabelledToolButton::actionEvent(QActionEvent* event) {
    QToolButton::actionEvent(event);
    if (event->type() == QEvent::ActionChanged && text() != label_) {
        setText(label_);
    }
}

} // namespace quillet
