#include "ui/MessageBoxAlertPresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace quillet {

void MessageBoxAlertPresenter::presentError(const Error& error) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    error.localizedDescription, QMessageBox::Ok, QApplication::activeWindow());
    box.setDetailedText(QStringLiteral("%1 %2").arg(error.domain).arg(error.code));
    box.exec();
}

void MessageBoxAlertPresenter::runAlertPanel(const QString& title, const QString& message,
                                             const QString& button) {
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.addButton(button, QMessageBox::AcceptRole);
    box.exec();
}

} // namespace quillet
