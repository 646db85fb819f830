#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet {

// Asks for the passphrase that seals the cloud folder: a new one typed twice
// with a hint of its strength (choose), or the one chosen on another machine
// (enter). The text never leaves the dialog but through its answer.
class PassphraseDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Choose, Enter };
    PassphraseDialog(Mode mode, const QString& message, QWidget* parent = nullptr);

    static std::optional<QString> choose(QWidget* parent, const QString& message);
    static std::optional<QString> enter(QWidget* parent, const QString& message);

    QString passphrase() const;
    // "Weak", "Fair" or "Strong", with what would make it stronger.
    static QString strengthHint(const QString& passphrase);

    QLineEdit* firstField() const { return first_; }
    QLineEdit* repeatField() const { return repeat_; }
    QLabel* hintLabel() const { return hint_; }
    QPushButton* okButton() const { return ok_; }

private:
    void update();

    Mode mode_;
    QLineEdit* first_ = nullptr;
    QLineEdit* repeat_ = nullptr;
    QLabel* hint_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace quillet
