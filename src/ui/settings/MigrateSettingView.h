#pragma once

#include "core/Notification.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;

namespace quillet {

class ManagedObjectContext;
class OldDataImporter;

// The migration pane of the settings window: importing the previous
// generation's diary, removing duplicate entries and moving the local diary
// into the cloud folder, each with its status line. The lines follow the
// importer's notifications, which may come from any thread; the pane changes
// itself only on the main thread.
class MigrateSettingView : public QWidget {
    Q_OBJECT
public:
    // The first two commands run on importer.
    explicit MigrateSettingView(OldDataImporter* importer, QWidget* parent = nullptr);
    ~MigrateSettingView() override;

    // Where the two background commands find the diary: the application's
    // context, handed in by whoever builds the pane.
    using ContextProvider = std::function<ManagedObjectContext*()>;
    void setManagedObjectContextProvider(ContextProvider provider) {
        contextProvider_ = std::move(provider);
    }

    // What the third command runs: the application's move of the local diary
    // into the cloud folder, handed in by whoever builds the pane.
    void setMoveLocalStoreToICloudHandler(std::function<void()> handler) {
        moveHandler_ = std::move(handler);
    }
    bool hasMoveLocalStoreToICloudHandler() const { return bool(moveHandler_); }
    QPushButton* migrateButton() const { return migrateButton_; }
    QPushButton* duplicateButton() const { return duplicateButton_; }
    QPushButton* moveToCloudButton() const { return moveToCloudButton_; }
    QLabel* migrateStatusLabel() const { return migrateStatusLabel_; }
    QLabel* duplicateStatusLabel() const { return duplicateStatusLabel_; }

    void performMigration(QObject* sender);
    void removeDuplicate(QObject* sender);
    void moveLocalStoreToICloud(QObject* sender);
    void cleanStatusLabel();

    void setMigrateLabelText(const QString& text);
    void setDuplicateLabelText(const QString& text);
    void setMigratePercentage(int progress);
    void setDuplicatePercentage(int progress);

    // The two status lines, and which one a notification changes (none: not one of the pane's).
    enum class StatusLine { Migrate, Duplicate };
    static std::optional<StatusLine> statusLineOf(const QString& name);
    static QStringList statusNotificationNames();
    // Shows what a notification of the import or the duplicate check says, now (main thread).
    void showNotification(const Notification& note);

private:
    // A notification's change as a step for the main thread.
    static void queueNotification(const QPointer<MigrateSettingView>& pane,
                                  const Notification& note);
    ManagedObjectContext* context() const;

    std::function<void()> moveHandler_;
    ContextProvider contextProvider_;
    OldDataImporter* oldDataImporter_;
    std::vector<int> observers_;
    QPushButton* migrateButton_ = nullptr;
    QPushButton* duplicateButton_ = nullptr;
    QPushButton* moveToCloudButton_ = nullptr;
    QLabel* migrateStatusLabel_ = nullptr;
    QLabel* duplicateStatusLabel_ = nullptr;
};

// Hears the import's and the duplicate check's notifications from launch on,
// for a migration pane that is built later (the settings window is built when
// first opened), and keeps the last one of each line: handed to the pane, it
// shows what the pane would show had it been there all along.
class MigrationStatusRecorder {
public:
    MigrationStatusRecorder();
    ~MigrationStatusRecorder();
    MigrationStatusRecorder(const MigrationStatusRecorder&) = delete;
    MigrationStatusRecorder& operator=(const MigrationStatusRecorder&) = delete;

    // On the main thread, right after the pane is built (it hears the later
    // notifications itself, queued behind this): shows the last notification
    // of each line in it, and stops listening.
    void replayTo(MigrateSettingView* pane);

private:
    void stop();

    // Shared with the observers, which a posting thread may still be running
    // when the recorder goes.
    struct Latest {
        std::mutex mutex;
        std::optional<Notification> migrate;
        std::optional<Notification> duplicate;
    };
    std::shared_ptr<Latest> latest_ = std::make_shared<Latest>();
    std::vector<int> observers_;
};

} // namespace quillet
