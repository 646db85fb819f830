#pragma once

#include <QWidget>

namespace quillet {

class Utility;

// The four-digit passcode panel: the lock screen of the main window and the
// passcode pane of the settings window, one state machine chosen by viewType.
class PasscodeView : public QWidget {
    Q_OBJECT
public:
    explicit PasscodeView(QWidget* parent = nullptr);

    QString viewType() const { return viewType_; }
    void setViewType(const QString& type) { viewType_ = type; }
    void prepareUI();

private:
    QString viewType_;
};

} // namespace quillet
