#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace quillet {

// The migration pane of the settings window: importing the previous
// generation's diary, removing duplicate entries and moving the local diary
// into the cloud folder, each with its status line.
class MigrateSettingView : public QWidget {
    Q_OBJECT
public:
    explicit MigrateSettingView(QWidget* parent = nullptr);

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

private:
    std::function<void()> moveHandler_;
    QPushButton* migrateButton_ = nullptr;
    QPushButton* duplicateButton_ = nullptr;
    QPushButton* moveToCloudButton_ = nullptr;
    QLabel* migrateStatusLabel_ = nullptr;
    QLabel* duplicateStatusLabel_ = nullptr;
};

} // namespace quillet
