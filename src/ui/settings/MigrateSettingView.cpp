#include "ui/settings/MigrateSettingView.h"

#include "ui/settings/SettingsPaneStyle.h"

#include "core/MainThread.h"
#include "core/NotificationCenter.h"
#include "diary/import/OldDataImporter.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

namespace {
const QString kStarted = QStringLiteral("in progress...0%");
const QString kSucceeded = QStringLiteral("Done Successfully");
const QString kFailed = QStringLiteral("Finished With Error");
} // namespace

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

    // Registered once, for as long as the pane exists. The observers hold the
    // pane only through a guard, which is never followed on the posting thread.
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const QPointer<MigrateSettingView> self(this);
    auto text = [&](const QString& name, Step step, const QString& shown) {
        observers_.push_back(
            center.addObserver(name, nullptr, [self, step, shown](const Notification&) {
                queueText(self, step, shown);
            }));
    };
    auto percentage = [&](const QString& name, bool migrate) {
        observers_.push_back(
            center.addObserver(name, nullptr, [self, migrate](const Notification& note) {
                queuePercentage(self, migrate, note);
            }));
    };
    text(kOldDataWillImport, &MigrateSettingView::setMigrateLabelText, kStarted);
    percentage(kOldDataImporting, true);
    text(kOldDataDidImportSucess, &MigrateSettingView::setMigrateLabelText, kSucceeded);
    text(kOldDataDidImportFail, &MigrateSettingView::setMigrateLabelText, kFailed);
    text(kDuplicateCheckWillStart, &MigrateSettingView::setDuplicateLabelText, kStarted);
    percentage(kDuplicateChecking, false);
    text(kDuplicateCheckEndSuccess, &MigrateSettingView::setDuplicateLabelText, kSucceeded);
    text(kDuplicateCheckEndFail, &MigrateSettingView::setDuplicateLabelText, kFailed);
}

MigrateSettingView::~MigrateSettingView() {
    for (int token : observers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
}

OldDataImporter* MigrateSettingView::importer() {
    if (!oldDataImporter_) {
        oldDataImporter_ = OldDataImporter::sharedImporter();
    }
    return oldDataImporter_;
}

ManagedObjectContext* MigrateSettingView::context() const {
    return contextProvider_ ? contextProvider_() : nullptr;
}

void MigrateSettingView::performMigration(QObject* sender) {
    Q_UNUSED(sender);
    // Neither the old file nor "isOldDataImported" is looked at here: the
    // user may import again at any time, and a missing file ends in an error.
    importer()->asyncImportWithManagedObjectContext(context());
}

void MigrateSettingView::removeDuplicate(QObject* sender) {
    Q_UNUSED(sender);
    importer()->asyncRemoveDuplicateWithManagedObjectContext(context());
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

void MigrateSettingView::queueText(const QPointer<MigrateSettingView>& pane, Step step,
                                   const QString& text) {
    MainThread::run(
        [pane, step, text] {
            if (pane)
                (pane.data()->*step)(text);
        },
        false);
}

void MigrateSettingView::queuePercentage(const QPointer<MigrateSettingView>& pane, bool migrate,
                                         const Notification& note) {
    const int progress = note.userInfo.value(kProgressKey).toInt();
    MainThread::run(
        [pane, migrate, progress] {
            if (pane) {
                migrate ? pane->setMigratePercentage(progress)
                        : pane->setDuplicatePercentage(progress);
            }
        },
        false);
}

void MigrateSettingView::dataWillImport(const Notification&) {
    queueText(this, &MigrateSettingView::setMigrateLabelText, kStarted);
}

void MigrateSettingView::dataImporting(const Notification& note) {
    queuePercentage(this, true, note);
}

void MigrateSettingView::dataDidImportSucess(const Notification&) {
    queueText(this, &MigrateSettingView::setMigrateLabelText, kSucceeded);
}

void MigrateSettingView::dataDidImportFail(const Notification&) {
    queueText(this, &MigrateSettingView::setMigrateLabelText, kFailed);
}

void MigrateSettingView::duplicateCheckWillStart(const Notification&) {
    queueText(this, &MigrateSettingView::setDuplicateLabelText, kStarted);
}

void MigrateSettingView::duplicateChecking(const Notification& note) {
    queuePercentage(this, false, note);
}

void MigrateSettingView::duplicateCheckEndSuccess(const Notification&) {
    queueText(this, &MigrateSettingView::setDuplicateLabelText, kSucceeded);
}

void MigrateSettingView::duplicateCheckEndFail(const Notification&) {
    queueText(this, &MigrateSettingView::setDuplicateLabelText, kFailed);
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
