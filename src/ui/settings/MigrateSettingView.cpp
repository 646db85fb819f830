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
const char* const kStarted = QT_TRANSLATE_NOOP("quillet::MigrateSettingView", "in progress...0%");
const char* const kSucceeded =
    QT_TRANSLATE_NOOP("quillet::MigrateSettingView", "Done Successfully");
const char* const kFailed = QT_TRANSLATE_NOOP("quillet::MigrateSettingView", "Finished With Error");

// What each notification does to the pane: which line, and the fixed text it
// shows there (none: the notification's percentage).
struct StatusStep {
    QLatin1String name;
    MigrateSettingView::StatusLine line;
    const char* const* text;
};
const StatusStep kStatusSteps[] = {
    {kOldDataWillImport, MigrateSettingView::StatusLine::Migrate, &kStarted},
    {kOldDataImporting, MigrateSettingView::StatusLine::Migrate, nullptr},
    {kOldDataDidImportSucess, MigrateSettingView::StatusLine::Migrate, &kSucceeded},
    {kOldDataDidImportFail, MigrateSettingView::StatusLine::Migrate, &kFailed},
    {kDuplicateCheckWillStart, MigrateSettingView::StatusLine::Duplicate, &kStarted},
    {kDuplicateChecking, MigrateSettingView::StatusLine::Duplicate, nullptr},
    {kDuplicateCheckEndSuccess, MigrateSettingView::StatusLine::Duplicate, &kSucceeded},
    {kDuplicateCheckEndFail, MigrateSettingView::StatusLine::Duplicate, &kFailed},
};

const StatusStep* statusStep(const QString& name) {
    for (const StatusStep& step : kStatusSteps) {
        if (step.name == name) {
            return &step;
        }
    }
    return nullptr;
}
} // namespace

MigrateSettingView::MigrateSettingView(OldDataImporter* importer, QWidget* parent)
    : QWidget(parent), oldDataImporter_(importer) {
    setObjectName(QStringLiteral("migrateSettingView"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(28, 22, 28, 20);
    outer->setSpacing(12);
    SettingsPaneStyle::addHeader(
        outer, this,
        SettingsPaneStyle::migrationGlyph(30, SettingsPaneStyle::glyphColor(),
                                          qApp->devicePixelRatio()),
        tr("Migration"),
        tr("Bring in entries from an earlier diary and tidy up the one you have."));

    // One row per command: the button, what it does, and its status line.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);
    int row = 0;
    auto addCommand = [&](const QString& name, const QString& text, const QString& detail,
                          QLabel** status) {
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
    migrateButton_ =
        addCommand(QStringLiteral("migrateButton"), tr("Import Old Data"),
                   tr("Copies the entries of the previous Quillet diary into this one."),
                   &migrateStatusLabel_);
    migrateStatusLabel_->setObjectName(QStringLiteral("migrateStatusLabel"));
    duplicateButton_ =
        addCommand(QStringLiteral("duplicateButton"), tr("Remove Duplicates"),
                   tr("Keeps one copy of each entry that was brought in more than once."),
                   &duplicateStatusLabel_);
    duplicateStatusLabel_->setObjectName(QStringLiteral("duplicateStatusLabel"));
    moveToCloudButton_ =
        addCommand(QStringLiteral("moveToCloudButton"), tr("Move Diary to Cloud Folder"),
                   tr("Moves this diary into the cloud folder, so that your other "
                      "computers share it."),
                   nullptr);
    outer->addLayout(grid);
    outer->addStretch(1);

    connect(migrateButton_, &QPushButton::clicked, this,
            [this] { performMigration(migrateButton_); });
    connect(duplicateButton_, &QPushButton::clicked, this,
            [this] { removeDuplicate(duplicateButton_); });
    connect(moveToCloudButton_, &QPushButton::clicked, this,
            [this] { moveLocalStoreToICloud(moveToCloudButton_); });

    // Registered once, for as long as the pane exists. The observers hold the
    // pane only through a guard, which is never followed on the posting thread.
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const QPointer<MigrateSettingView> self(this);
    for (const StatusStep& step : kStatusSteps) {
        observers_.push_back(
            center.addObserver(step.name, nullptr, [self](const Notification& note) {
                queueNotification(self, note);
            }));
    }
}

MigrateSettingView::~MigrateSettingView() {
    for (int token : observers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
}

ManagedObjectContext* MigrateSettingView::context() const {
    return contextProvider_ ? contextProvider_() : nullptr;
}

void MigrateSettingView::performMigration(QObject* sender) {
    Q_UNUSED(sender);
    // Neither the old file nor "isOldDataImported" is looked at here: the
    // user may import again at any time, and a missing file ends in an error.
    oldDataImporter_->asyncImportWithManagedObjectContext(context());
}

void MigrateSettingView::removeDuplicate(QObject* sender) {
    Q_UNUSED(sender);
    oldDataImporter_->asyncRemoveDuplicateWithManagedObjectContext(context());
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

std::optional<MigrateSettingView::StatusLine>
MigrateSettingView::statusLineOf(const QString& name) {
    const StatusStep* step = statusStep(name);
    return step ? std::optional(step->line) : std::nullopt;
}

QStringList MigrateSettingView::statusNotificationNames() {
    QStringList names;
    for (const StatusStep& step : kStatusSteps) {
        names.append(step.name);
    }
    return names;
}

void MigrateSettingView::showNotification(const Notification& note) {
    const StatusStep* step = statusStep(note.name);
    if (!step) {
        return;
    }
    const bool migrate = step->line == StatusLine::Migrate;
    if (step->text) {
        const QString text = tr(*step->text);
        migrate ? setMigrateLabelText(text) : setDuplicateLabelText(text);
        return;
    }
    const int progress = note.userInfo.value(kProgressKey).toInt();
    migrate ? setMigratePercentage(progress) : setDuplicatePercentage(progress);
}

void MigrateSettingView::queueNotification(const QPointer<MigrateSettingView>& pane,
                                           const Notification& note) {
    MainThread::run(
        [pane, note] {
            if (pane) {
                pane->showNotification(note);
            }
        },
        false);
}

void MigrateSettingView::setMigrateLabelText(const QString& text) {
    migrateStatusLabel_->setText(text);
}

void MigrateSettingView::setDuplicateLabelText(const QString& text) {
    duplicateStatusLabel_->setText(text);
}

void MigrateSettingView::setMigratePercentage(int progress) {
    migrateStatusLabel_->setText(tr("in progress...%1%").arg(progress));
}

void MigrateSettingView::setDuplicatePercentage(int progress) {
    duplicateStatusLabel_->setText(tr("in progress...%1%").arg(progress));
}

MigrationStatusRecorder::MigrationStatusRecorder() {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    for (const QString& name : MigrateSettingView::statusNotificationNames()) {
        observers_.push_back(
            center.addObserver(name, nullptr, [latest = latest_](const Notification& note) {
                const std::lock_guard lock(latest->mutex);
                (MigrateSettingView::statusLineOf(note.name) ==
                         MigrateSettingView::StatusLine::Migrate
                     ? latest->migrate
                     : latest->duplicate) = note;
            }));
    }
}

MigrationStatusRecorder::~MigrationStatusRecorder() {
    stop();
}

void MigrationStatusRecorder::replayTo(MigrateSettingView* pane) {
    // Anything posted from here on reaches the pane through its own queued
    // steps, which run after these and so end on the latest news.
    std::optional<Notification> migrate;
    std::optional<Notification> duplicate;
    {
        const std::lock_guard lock(latest_->mutex);
        migrate = latest_->migrate;
        duplicate = latest_->duplicate;
    }
    stop();
    for (const std::optional<Notification>& note : {migrate, duplicate}) {
        if (note) {
            pane->showNotification(*note);
        }
    }
}

void MigrationStatusRecorder::stop() {
    for (int token : observers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
    observers_.clear();
}

} // namespace quillet
