#include "passcode/PasscodeView.h"

namespace quillet {

PasscodeView::PasscodeView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("passcodeView"));
    setFocusPolicy(Qt::StrongFocus);
}

void PasscodeView::prepareUI() {
    viewType_.clear();
}

} // namespace quillet
