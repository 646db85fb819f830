#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace quillet {

class AppDelegate;

// The migration pane of the settings window: importing the previous
// generation's diary, removing duplicate entries and moving the local diary
// into the cloud folder, each with its status line.
class MigrateSettingView : public QWidget {
    Q_OBJECT
public:
    explicit MigrateSettingView(QWidget* parent = nullptr);

    AppDelegate* appDelegate() const { return appDelegate_; }
    void setAppDelegate(AppDelegate* delegate) { appDelegate_ = delegate; }
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

private:
    AppDelegate* appDelegate_ = nullptr;
    QPushButton* migrateButton_ = nullptr;
    QPushButton* duplicateButton_ = nullptr;
    QPushButton* moveToCloudButton_ = nullptr;
    QLabel* migrateStatusLabel_ = nullptr;
    QLabel* duplicateStatusLabel_ = nullptr;
};

} // namespace quillet
