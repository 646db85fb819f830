#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

class Utility;

// The cloud pane of the settings window: where the cloud folder lies,
// whether the user is signed in (the folder is there), and how the diary
// takes part in the exchange: its last log written and applied, the writers
// the container knows, a clock found off. "Choose Folder…" sets the folder
// up (CloudFolderSetup), "Stop Using" forgets it. The move itself is started
// from the migration pane.
class CloudSettingView : public QWidget {
    Q_OBJECT
public:
    // The container's name and folder come from utility.
    explicit CloudSettingView(Utility* utility, QWidget* parent = nullptr);

    QLineEdit* folderField() const { return folderField_; }
    QLabel* stateLabel() const { return stateLabel_; }
    QLabel* writtenLabel() const { return writtenLabel_; }
    QLabel* appliedLabel() const { return appliedLabel_; }
    QLabel* writersLabel() const { return writersLabel_; }
    QLabel* clockLabel() const { return clockLabel_; }
    QLabel* setupLabel() const { return setupLabel_; }
    QPushButton* chooseButton() const { return chooseButton_; }
    QPushButton* stopButton() const { return stopButton_; }
    // Asks for a folder (a folder chooser); null when the user cancels.
    // Tests put their own in place.
    void setFolderChooser(std::function<QString(const QString& start)> chooser) {
        chooser_ = std::move(chooser);
    }
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

private slots:
    void chooseFolder();
    void stopUsing();

private:
    void growToFit();
    void askPassphrase();

    Utility* utility_;
    QLineEdit* folderField_ = nullptr;
    QLabel* stateLabel_ = nullptr;
    QLabel* writtenLabel_ = nullptr;
    QLabel* appliedLabel_ = nullptr;
    QLabel* writersLabel_ = nullptr;
    QLabel* clockLabel_ = nullptr;
    QLabel* setupLabel_ = nullptr;
    QPushButton* chooseButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QLabel* sealLabel_ = nullptr;
    QPushButton* passphraseButton_ = nullptr;
    std::function<QString()> storePath_;
    std::function<QString(const QString&)> chooser_;
};

} // namespace quillet
