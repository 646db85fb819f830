#include "ui/settings/CloudSettingView.h"

#include "diary/CloudFolderSetup.h"
#include "diary/Utility.h"
#include "store/CloudContainer.h"
#include "store/cloud/ContainerKey.h"
#include "store/cloud/LogExchange.h"
#include "ui/settings/PassphraseDialog.h"
#include "ui/settings/SettingsPaneStyle.h"

#include <QApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quillet {

CloudSettingView::CloudSettingView(Utility* utility, QWidget* parent)
    : QWidget(parent), utility_(utility) {
    setObjectName(QStringLiteral("cloudSettingView"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(28, 22, 28, 20);
    outer->setSpacing(8);
    SettingsPaneStyle::addHeader(outer, this,
                                 SettingsPaneStyle::cloudGlyph(30, SettingsPaneStyle::glyphColor(),
                                                               qApp->devicePixelRatio()),
                                 tr("Cloud Folder"),
                                 tr("Your diary can live in a folder that a file-sync service "
                                    "keeps in step between your computers."));

    SettingsPaneStyle::addSection(
        outer, this, tr("Folder"),
        tr("Choose a folder that your sync service keeps in step (Syncthing, Nextcloud, ...)."));
    // Read-only but selectable, so the path can be copied into a file manager.
    folderField_ = new QLineEdit(this);
    folderField_->setObjectName(QStringLiteral("cloudFolderField"));
    folderField_->setReadOnly(true);
    folderField_->setFocusPolicy(Qt::ClickFocus);
    outer->addWidget(folderField_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    chooseButton_ = new QPushButton(tr("Choose Folder…"), this);
    chooseButton_->setObjectName(QStringLiteral("cloudChooseButton"));
    stopButton_ = new QPushButton(tr("Stop Using"), this);
    stopButton_->setObjectName(QStringLiteral("cloudStopButton"));
    buttons->addWidget(chooseButton_);
    buttons->addWidget(stopButton_);
    buttons->addStretch(1);
    outer->addLayout(buttons);
    connect(chooseButton_, &QPushButton::clicked, this, &CloudSettingView::chooseFolder);
    connect(stopButton_, &QPushButton::clicked, this, &CloudSettingView::stopUsing);
    // What the last choice did, in words.
    setupLabel_ = new QLabel(this);
    setupLabel_->setObjectName(QStringLiteral("cloudSetupLabel"));
    setupLabel_->setWordWrap(true);
    setupLabel_->setTextFormat(Qt::PlainText);
    setupLabel_->hide();
    outer->addWidget(setupLabel_);

    stateLabel_ = new QLabel(this);
    stateLabel_->setObjectName(QStringLiteral("cloudStateLabel"));
    QFont bold = stateLabel_->font();
    bold.setWeight(QFont::DemiBold);
    stateLabel_->setFont(bold);
    outer->addWidget(stateLabel_);

    // How this diary takes part in the exchange of change logs.
    auto* form = new QFormLayout;
    form->setContentsMargins(0, 2, 0, 2);
    form->setHorizontalSpacing(14);
    form->setVerticalSpacing(4);
    writtenLabel_ = new QLabel(this);
    writtenLabel_->setObjectName(QStringLiteral("cloudWrittenLabel"));
    appliedLabel_ = new QLabel(this);
    appliedLabel_->setObjectName(QStringLiteral("cloudAppliedLabel"));
    writersLabel_ = new QLabel(this);
    writersLabel_->setObjectName(QStringLiteral("cloudWritersLabel"));
    form->addRow(tr("Last log written:"), writtenLabel_);
    form->addRow(tr("Last log applied:"), appliedLabel_);
    form->addRow(tr("Diaries writing here:"), writersLabel_);
    outer->addLayout(form);
    clockLabel_ = new QLabel(this);
    clockLabel_->setObjectName(QStringLiteral("cloudClockLabel"));
    clockLabel_->setWordWrap(true);
    clockLabel_->hide();
    outer->addWidget(clockLabel_);

    // Sealing: whether the folder is sealed, and the passphrase it needs.
    auto* sealing = new QHBoxLayout;
    sealLabel_ = new QLabel(this);
    sealLabel_->setObjectName(QStringLiteral("cloudSealLabel"));
    sealLabel_->setWordWrap(true);
    sealing->addWidget(sealLabel_, 1);
    passphraseButton_ = new QPushButton(this);
    passphraseButton_->setObjectName(QStringLiteral("cloudPassphraseButton"));
    connect(passphraseButton_, &QPushButton::clicked, this, &CloudSettingView::askPassphrase);
    sealing->addWidget(passphraseButton_, 0, Qt::AlignTop);
    outer->addLayout(sealing);
    SettingsPaneStyle::addSection(
        outer, this, tr("Moving the diary"),
        tr("Use \u201cMove Diary to Cloud Folder\u201d in the Migration pane."));
    outer->addStretch(1);
    refresh();
}

void CloudSettingView::refresh() {
    Utility* utility = utility_;
    const QString root = CloudContainer::rootPath();
    const QString folder = root.isEmpty()
                               ? QString()
                               : root + QLatin1Char('/') + utility->ubiquityContainerIdentifier();
    folderField_->setText(folder.isEmpty() ? tr("No folder: the home folder is not known.")
                                           : folder);
    folderField_->setCursorPosition(0);
    const QString container = utility->cloudContainerURL();
    const bool available = !container.isEmpty();
    stateLabel_->setText(available ? tr("\u2713 Signed in: the cloud folder is available.")
                                   : tr("Signed out: the cloud folder does not exist yet."));
    const std::shared_ptr<cloud::ContainerKey> keys =
        available ? cloud::ContainerKey::forContainer(container) : nullptr;
    const cloud::ExchangeStatus status =
        available ? cloud::readExchangeStatus(storePath_ ? storePath_() : QString(), container,
                                              keys->heldKey())
                  : cloud::ExchangeStatus{};
    using State = cloud::ContainerKey::State;
    State state = keys ? keys->state() : State::Unknown;
    if (state == State::Unknown && keys) {
        state =
            cloud::keyFiles(container).empty() ? State::ChoosePassphrase : State::NeedsPassphrase;
    }
    passphraseButton_->setVisible(available);
    switch (state) {
    case State::Unlocked:
        sealLabel_->setText(
            status.plainFiles == 0
                ? tr("\u2713 Sealed: what goes into the cloud folder is encrypted under your "
                     "passphrase; nothing in it is plain text.")
                : tr("\u2713 Sealed. %n file(s) from before sealing are still plain text: each "
                     "diary seals its own once it has the passphrase.",
                     nullptr, status.plainFiles));
        passphraseButton_->setText(tr("Change Passphrase\u2026"));
        break;
    case State::ChoosePassphrase:
    case State::Unknown:
        sealLabel_->setText(
            available ? tr("No diary key yet: choose a passphrase to seal the cloud folder. Until "
                           "then nothing is exchanged with your other machines.")
                      : QString());
        passphraseButton_->setText(tr("Choose Passphrase\u2026"));
        break;
    case State::NeedsPassphrase:
    case State::WrongPassphrase:
        sealLabel_->setText(state == State::WrongPassphrase
                                ? tr("That passphrase does not open the diary key. Nothing is "
                                     "exchanged until the right one is entered.")
                                : tr("The diary's passphrase (chosen on the machine that moved it "
                                     "to the cloud folder) is needed on this machine. Until then "
                                     "nothing is exchanged; this diary stays as it is."));
        passphraseButton_->setText(tr("Enter Passphrase\u2026"));
        break;
    }
    auto when = [](const QDateTime& moment) {
        return moment.isValid() ? QLocale().toString(moment.toLocalTime(), QLocale::ShortFormat)
                                : tr("Never");
    };
    writtenLabel_->setText(when(status.lastWritten));
    appliedLabel_->setText(when(status.lastApplied));
    writersLabel_->setText(status.writers == 0 ? tr("None yet") : QString::number(status.writers));
    stopButton_->setEnabled(!CloudFolderSetup::chosenRoot().isEmpty());
    // A clock off by more than a few minutes makes its changes win over later ones.
    QStringList clocks;
    if (status.ownClockAheadMinutes > 0) {
        clocks << tr("This computer's clock runs about %1 minutes ahead of another one's: "
                     "set it right (for example with “timedatectl set-ntp true”).")
                      .arg(status.ownClockAheadMinutes);
    }
    if (status.otherClockAheadMinutes > 0) {
        clocks << tr("The clock of another computer writing here runs about %1 minutes ahead of "
                     "this one's: its changes win over later ones until it is set right.")
                      .arg(status.otherClockAheadMinutes);
    }
    clockLabel_->setText(clocks.join(QLatin1Char('\n')));
    clockLabel_->setVisible(!clocks.isEmpty());
    if (!clocks.isEmpty()) {
        growToFit();
    }
    QPalette warning = clockLabel_->palette();
    warning.setColor(QPalette::WindowText, QColor(0xb0, 0x3a, 0x2e));
    clockLabel_->setPalette(warning);
    QPalette palette = stateLabel_->palette();
    palette.setColor(QPalette::WindowText,
                     available ? QColor(0x2e, 0x7d, 0x32) : QColor(0x8a, 0x6d, 0x1f));
    stateLabel_->setPalette(palette);
}

void CloudSettingView::chooseFolder() {
    const QString start = CloudContainer::rootPath();
    const QString folder =
        chooser_ ? chooser_(start)
                 : QFileDialog::getExistingDirectory(this, tr("Choose the Cloud Folder"), start);
    if (folder.isEmpty()) {
        return; // cancelled
    }
    const CloudFolderSetup::Outcome outcome =
        CloudFolderSetup::chooseFolder(folder, utility_->ubiquityContainerIdentifier());
    setupLabel_->setText(outcome.message);
    setupLabel_->show();
    refresh();
    growToFit();
}

void CloudSettingView::growToFit() {
    // The settings window keeps its width; it grows as tall as the lines need.
    QWidget* w = window();
    if (w && w != this && w->height() < w->sizeHint().height()) {
        w->resize(w->width(), w->sizeHint().height());
    }
}

void CloudSettingView::stopUsing() {
    setupLabel_->setText(
        CloudFolderSetup::stopUsing()
            ? tr("The chosen folder is forgotten; its files stay where they are.")
            : tr("The settings file cannot be written: the folder is still chosen."));
    setupLabel_->show();
    refresh();
}

void CloudSettingView::askPassphrase() {
    const QString container = utility_->cloudContainerURL();
    if (container.isEmpty()) {
        return;
    }
    const std::shared_ptr<cloud::ContainerKey> keys = cloud::ContainerKey::forContainer(container);
    if (keys->heldKey()) {
        const std::optional<QString> passphrase = PassphraseDialog::choose(
            this, tr("The new passphrase wraps the diary key; every machine that already has the "
                     "key keeps it. Machines that ask later need the new one."));
        QString why;
        if (passphrase && !keys->changePassphrase(container, *passphrase, &why)) {
            sealLabel_->setText(tr("The passphrase could not be changed: %1").arg(why));
            return;
        }
    } else if (cloud::keyFiles(container).empty()) {
        if (const auto passphrase = PassphraseDialog::choose(
                this, tr("Choose the passphrase that seals the cloud folder. Every other machine "
                         "asks for it once.")))
            keys->offerPassphrase(*passphrase);
    } else if (const auto passphrase = PassphraseDialog::enter(
                   this, tr("Enter the passphrase chosen for this diary's cloud folder."))) {
        keys->offerPassphrase(*passphrase);
    }
    // The exchange tries it at its next round, within a few seconds.
    QTimer::singleShot(4000, this, &CloudSettingView::refresh);
}

void CloudSettingView::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

} // namespace quillet
