#include "ui/settings/PassphraseDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace quillet {

PassphraseDialog::PassphraseDialog(Mode mode, const QString& message, QWidget* parent)
    : QDialog(parent), mode_(mode) {
    setObjectName(QStringLiteral("passphraseDialog"));
    setWindowTitle(mode == Mode::Choose ? tr("Choose a Passphrase") : tr("Enter the Passphrase"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(message, this);
    text->setWordWrap(true);
    text->setMinimumWidth(380);
    layout->addWidget(text);
    auto* form = new QFormLayout;
    first_ = new QLineEdit(this);
    first_->setObjectName(QStringLiteral("passphraseField"));
    first_->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Passphrase:"), first_);
    if (mode == Mode::Choose) {
        repeat_ = new QLineEdit(this);
        repeat_->setObjectName(QStringLiteral("passphraseRepeatField"));
        repeat_->setEchoMode(QLineEdit::Password);
        form->addRow(tr("Again:"), repeat_);
        connect(repeat_, &QLineEdit::textChanged, this, &PassphraseDialog::update);
    }
    layout->addLayout(form);
    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("passphraseHint"));
    hint_->setWordWrap(true);
    layout->addWidget(hint_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(first_, &QLineEdit::textChanged, this, &PassphraseDialog::update);
    update();
}

QString PassphraseDialog::passphrase() const {
    return first_->text();
}

QString PassphraseDialog::strengthHint(const QString& passphrase) {
    // Length counts most; a mix of kinds of characters a little.
    QSet<int> kinds;
    for (QChar c : passphrase) {
        kinds.insert(c.isLower() ? 0 : c.isUpper() ? 1 : c.isDigit() ? 2 : c.isSpace() ? 3 : 4);
    }
    const int score = int(passphrase.size()) + 2 * int(kinds.size());
    if (score < 16) {
        return tr("Weak: use at least four words or sixteen characters.");
    }
    if (score < 26) {
        return tr("Fair: a few more words would make it strong.");
    }
    return tr("Strong.");
}

void PassphraseDialog::update() {
    const QString text = first_->text();
    if (mode_ == Mode::Enter) {
        hint_->setText(tr("It cannot be recovered: without it the cloud folder cannot be read."));
        ok_->setEnabled(!text.isEmpty());
        return;
    }
    const bool same = repeat_->text() == text;
    hint_->setText(text.isEmpty()
                       ? tr("A few unrelated words are easy to remember and hard to guess.")
                   : !same && !repeat_->text().isEmpty() ? tr("The two passphrases differ.")
                                                         : strengthHint(text));
    ok_->setEnabled(!text.isEmpty() && same);
}

std::optional<QString> PassphraseDialog::choose(QWidget* parent, const QString& message) {
    PassphraseDialog dialog(Mode::Choose, message, parent);
    return dialog.exec() == QDialog::Accepted ? std::optional(dialog.passphrase()) : std::nullopt;
}

std::optional<QString> PassphraseDialog::enter(QWidget* parent, const QString& message) {
    PassphraseDialog dialog(Mode::Enter, message, parent);
    return dialog.exec() == QDialog::Accepted ? std::optional(dialog.passphrase()) : std::nullopt;
}

} // namespace quillet
