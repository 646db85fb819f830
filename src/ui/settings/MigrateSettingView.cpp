#include "ui/settings/MigrateSettingView.h"

#include "ui/settings/SettingsPaneStyle.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

MigrateSettingView::MigrateSettingView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("migrateSettingView"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(28, 22, 28, 20);
    outer->setSpacing(12);
    SettingsPaneStyle::addHeader(
        outer, this,
        SettingsPaneStyle::migrationGlyph(30, SettingsPaneStyle::glyphColor(), qApp->devicePixelRatio()),
        tr("Migration"), tr("Bring in entries from an earlier diary and tidy up the one you have."));

    // One row per command: the button, what it does, and its status line.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    int row = 0;
    auto addCommand = [&](const QString& name, const QString& text, const QString& detail, QLabel** status) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setMinimumWidth(200);
        grid->addWidget(button, row, 0, Qt::AlignTop);
        QLabel* explanation = SettingsPaneStyle::makeDetailLabel(detail, this);
        grid->addWidget(explanation, row, 1);
        if (status) {
            *status = new QLabel(this);
            QFont bold = (*status)->font();
            bold.setWeight(QFont::DemiBold);
            (*status)->setFont(bold);
            (*status)->setMinimumHeight((*status)->fontMetrics().height());
            grid->addWidget(*status, row + 1, 1);
        }
        grid->setRowMinimumHeight(row + 2, 14);
        row += 3;
        return button;
    };
    migrateButton_ = addCommand(QStringLiteral("migrateButton"), tr("Import Old Data"),
                                tr("Copies the entries of the previous Quillet diary into this one."),
                                &migrateStatusLabel_);
    migrateStatusLabel_->setObjectName(QStringLiteral("migrateStatusLabel"));
    duplicateButton_ = addCommand(QStringLiteral("duplicateButton"), tr("Remove Duplicates"),
                                  tr("Keeps one copy of each entry that was brought in more than once."),
                                  &duplicateStatusLabel_);
    duplicateStatusLabel_->setObjectName(QStringLiteral("duplicateStatusLabel"));
    moveToCloudButton_ = addCommand(QStringLiteral("moveToCloudButton"), tr("Move Diary to Cloud Folder"),
                                    tr("Moves this diary into the cloud folder, so that your other "
                                       "computers share it."),
                                    nullptr);
    outer->addLayout(grid);
    outer->addStretch(1);

    connect(migrateButton_, &QPushButton::clicked, this, [this] { performMigration(migrateButton_); });
    connect(duplicateButton_, &QPushButton::clicked, this, [this] { removeDuplicate(duplicateButton_); });
    connect(moveToCloudButton_, &QPushButton::clicked, this,
            [this] { moveLocalStoreToICloud(moveToCloudButton_); });
}

void MigrateSettingView::performMigration(QObject* sender) {
    Q_UNUSED(sender);
    // The importer of the previous generation's diary comes in a later build.
}

void MigrateSettingView::removeDuplicate(QObject* sender) {
    Q_UNUSED(sender);
    // Duplicate removal comes with the importer.
}

void MigrateSettingView::moveLocalStoreToICloud(QObject* sender) {
    Q_UNUSED(sender);
    if (moveHandler_) {
        moveHandler_();
    }
}

void MigrateSettingView::cleanStatusLabel() {
    migrateStatusLabel_->setText(QString());
    duplicateStatusLabel_->setText(QString());
}

void MigrateSettingView::setMigrateLabelText(const QString& text) {
    migrateStatusLabel_->setText(text);
}

void MigrateSettingView::setDuplicateLabelText(const QString& text) {
    duplicateStatusLabel_->setText(text);
}

void MigrateSettingView::setMigratePercentage(int progress) {
    migrateStatusLabel_->setText(QStringLiteral("in progress...%1%").arg(progress));
}

void MigrateSettingView::setDuplicatePercentage(int progress) {
    duplicateStatusLabel_->setText(QStringLiteral("in progress...%1%").arg(progress));
}

} // namespace quillet
