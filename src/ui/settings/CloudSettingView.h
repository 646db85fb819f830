#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace quillet {

// The cloud pane of the settings window: where the cloud folder lies and
// whether it is there. The move itself is started from the migration pane.
class CloudSettingView : public QWidget {
    Q_OBJECT
public:
    explicit CloudSettingView(QWidget* parent = nullptr);

    QLineEdit* folderField() const { return folderField_; }
    QLabel* stateLabel() const { return stateLabel_; }
    // Reads the folder and its state again; the pane does it whenever it shows.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* folderField_ = nullptr;
    QLabel* stateLabel_ = nullptr;
};

} // namespace quillet
