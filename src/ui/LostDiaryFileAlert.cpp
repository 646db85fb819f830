#include "ui/LostDiaryFileAlert.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quillet {

LostDiaryFileAlert::Choice LostDiaryFileAlert::ask(QWidget* parent, const Error& error,
                                                   const QString& suggestedPath, bool quitting,
                                                   QString* path) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    error.localizedDescription, QMessageBox::NoButton, parent);
    box.setDetailedText(QStringLiteral("%1 %2").arg(error.domain).arg(error.code));
    QPushButton* save = box.addButton(tr("Save to a New File\u2026"), QMessageBox::AcceptRole);
    QPushButton* quit =
        quitting ? box.addButton(tr("Quit Without Saving"), QMessageBox::DestructiveRole) : nullptr;
    box.addButton(quitting ? tr("Cancel") : tr("Not Now"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    if (quit && box.clickedButton() == quit) {
        return Choice::QuitWithoutSaving;
    }
    if (box.clickedButton() != save) {
        return Choice::NotNow;
    }
    const QString chosen = QFileDialog::getSaveFileName(parent, tr("Save to a New File"),
                                                        suggestedPath, tr("Diary (*.sqlite)"));
    if (chosen.isEmpty()) {
        return Choice::NotNow;
    }
    if (path) {
        *path = chosen;
    }
    return Choice::SaveToNewFile;
}

} // namespace quillet
