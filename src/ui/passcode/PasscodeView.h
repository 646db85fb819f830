#pragma once

#include "diary/passcode/PasscodeFlow.h"

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace quillet {

class Utility;

// The four-digit passcode panel: the lock screen of the main window and the
// passcode pane of the settings window. Its modes ("" idle, "Door", "Set",
// "Reenter", "Off", "Change") are the diary's PasscodeFlow; this view takes
// the digits and shows each step.
class PasscodeView : public QWidget {
    Q_OBJECT
public:
    // The lock screen has only the pin entry; the settings pane adds the
    // panels that turn the lock on, off or change the passcode.
    enum class Role { LockScreen, SettingsPane };

    // The passcode and its lock are kept in utility's storage.
    explicit PasscodeView(Utility* utility, QWidget* parent = nullptr,
                          Role role = Role::LockScreen);

    Role role() const { return role_; }
    Utility* utility() const { return utility_; }
    QString viewType() const { return flow_.viewType(); }
    void setViewType(const QString& type) { flow_.setViewType(type); }
    QString tempPasscode() const { return flow_.tempPasscode(); }
    QString pinEntered() const { return pinEntered_; }

    QLabel* statusText() const { return statusText_; }
    QLabel* alertText() const { return alertText_; }
    QLabel* dot1() const { return dots_[0]; }
    QLabel* dot2() const { return dots_[1]; }
    QLabel* dot3() const { return dots_[2]; }
    QLabel* dot4() const { return dots_[3]; }
    // Null on the lock screen, which never offers them.
    QWidget* onPanel() const { return onPanel_; }
    QWidget* offPanel() const { return offPanel_; }
    QWidget* enterPanel() const { return enterPanel_; }
    // The lock screen's own heading above the pin entry (null in the pane).
    QLabel* lockTitle() const { return lockTitle_; }
    // The pane's buttons (null on the lock screen).
    QPushButton* turnOnButton() const { return turnOnButton_; }
    QPushButton* turnOffButton() const { return turnOffButton_; }
    QPushButton* changeButton() const { return changeButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    void prepareUI();
    void turnOnPasscode(QObject* sender);
    void turnOffPasscode(QObject* sender);
    void changePasscode(QObject* sender);
    void passcodeEntered();
    QString getPasscode() const { return pinEntered_; }
    void clearPasscode();
    void setTitleLabelText(const QString& text);
    void showAlertLabelWithText(const QString& text);
    void clearAlertLabel();
    void refreshPinBoxImage();
    QPixmap getDotImage();
    // The image name getDotImage loads: a random theme icon in the "eco"
    // edition, the plain dot otherwise.
    QString dotImageName();
    void clearDotBox();

    // Hiding empties the entry and its dots; the mode, title and alert stay.
    void setVisible(bool visible) override;

    // The digits of one key event: exactly one Unicode decimal digit (of any
    // script), as typed.
    static bool isSingleDigit(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildLockScreen();
    void buildSettingsPane();
    QWidget* buildEnterPanel(QWidget* parent);
    void showPanelsForLockFlag();
    void startFlow(const QString& type, const QString& title);
    // The first count dots shown, the others hidden.
    void showDots(int count);
    void deleteBackward();
    void takeFocus();

    Role role_;
    Utility* utility_ = nullptr;
    // The modes and what an entry means in each; this view shows the steps.
    PasscodeFlow flow_;
    QString pinEntered_;
    QLabel* statusText_ = nullptr;
    QLabel* alertText_ = nullptr;
    std::array<QLabel*, 4> boxes_{};
    std::array<QLabel*, 4> dots_{};
    QWidget* onPanel_ = nullptr;
    QWidget* offPanel_ = nullptr;
    QWidget* enterPanel_ = nullptr;
    QLabel* lockTitle_ = nullptr;
    QPushButton* turnOnButton_ = nullptr;
    QPushButton* turnOffButton_ = nullptr;
    QPushButton* changeButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace quillet
