#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace quillet {

class ManagedObjectContext;
class OldDataImporter;
struct Notification;

// The migration pane of the settings window: importing the previous
// generation's diary, removing duplicate entries and moving the local diary
// into the cloud folder, each with its status line. The lines follow the
// importer's notifications, which may come from any thread; the pane changes
// itself only on the main thread.
class MigrateSettingView : public QWidget {
    Q_OBJECT
public:
    explicit MigrateSettingView(QWidget* parent = nullptr);
    ~MigrateSettingView() override;

    // Where the two background commands find the diary: the application's
    // context, handed in by whoever builds the pane.
    using ContextProvider = std::function<ManagedObjectContext*()>;
    void setManagedObjectContextProvider(ContextProvider provider) {
        contextProvider_ = std::move(provider);
    }
    // The shared importer, fetched on first use.
    OldDataImporter* oldDataImporter() const { return oldDataImporter_; }
    void setOldDataImporter(OldDataImporter* importer) { oldDataImporter_ = importer; }

    // What the third command runs: the application's move of the local diary
    // into the cloud folder, handed in by whoever builds the pane.
    void setMoveLocalStoreToICloudHandler(std::function<void()> handler) { moveHandler_ = std::move(handler); }
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

    // The notification handlers, safe on any thread: each only queues its
    // step for the main thread, where it runs if the pane still exists.
    void dataWillImport(const Notification& note);
    void dataImporting(const Notification& note);
    void dataDidImportSucess(const Notification& note);
    void dataDidImportFail(const Notification& note);
    void duplicateCheckWillStart(const Notification& note);
    void duplicateChecking(const Notification& note);
    void duplicateCheckEndSuccess(const Notification& note);
    void duplicateCheckEndFail(const Notification& note);

private:
    // A line's change as a step for the main thread.
    using Step = void (MigrateSettingView::*)(const QString&);
    static void queueText(const QPointer<MigrateSettingView>& pane, Step step, const QString& text);
    static void queuePercentage(const QPointer<MigrateSettingView>& pane, bool migrate,
                                const Notification& note);
    OldDataImporter* importer();
    ManagedObjectContext* context() const;

    std::function<void()> moveHandler_;
    ContextProvider contextProvider_;
    OldDataImporter* oldDataImporter_ = nullptr;
    std::vector<int> observers_;
    QPushButton* migrateButton_ = nullptr;
    QPushButton* duplicateButton_ = nullptr;
    QPushButton* moveToCloudButton_ = nullptr;
    QLabel* migrateStatusLabel_ = nullptr;
    QLabel* duplicateStatusLabel_ = nullptr;
};

} // namespace quillet
