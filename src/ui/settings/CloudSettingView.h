#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

// The cloud pane of the settings window: where the cloud folder lies,
// whether the user is signed in (the folder is there), and how the diary
// takes part in the exchange: its last log written and applied, the writers
// the container knows. The move itself is started from the migration pane.
class CloudSettingView : public QWidget {
    Q_OBJECT
public:
    explicit CloudSettingView(QWidget* parent = nullptr);

    QLineEdit* folderField() const { return folderField_; }
    QLabel* stateLabel() const { return stateLabel_; }
    QLabel* writtenLabel() const { return writtenLabel_; }
    QLabel* appliedLabel() const { return appliedLabel_; }
    QLabel* writersLabel() const { return writersLabel_; }
    // Whether the cloud folder is sealed, plain text remains, or a passphrase is needed.
    QLabel* sealLabel() const { return sealLabel_; }
    QPushButton* passphraseButton() const { return passphraseButton_; }
    // The file of the diary in use, asked at every refresh (it changes when
    // the diary moves into the cloud); without one nothing is logged yet.
    void setStorePathSource(std::function<QString()> source) { storePath_ = std::move(source); }
    // Reads the folder and its state again; the pane does it whenever it shows.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void askPassphrase();

    QLineEdit* folderField_ = nullptr;
    QLabel* stateLabel_ = nullptr;
    QLabel* writtenLabel_ = nullptr;
    QLabel* appliedLabel_ = nullptr;
    QLabel* writersLabel_ = nullptr;
    QLabel* sealLabel_ = nullptr;
    QPushButton* passphraseButton_ = nullptr;
    std::function<QString()> storePath_;
};

} // namespace quillet
