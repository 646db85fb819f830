#include "journal/EditTextView.h"

namespace quillet {

EditTextView::EditTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("editTextView"));
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(false);
}

void EditTextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit didEndEditing();
}

} // namespace quillet
