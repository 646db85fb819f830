#include "ui/settings/CloudSettingView.h"

#include "diary/Utility.h"
#include "store/CloudContainer.h"
#include "store/cloud/LogExchange.h"
#include "ui/settings/SettingsPaneStyle.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

namespace quillet {

CloudSettingView::CloudSettingView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("cloudSettingView"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(28, 22, 28, 20);
    outer->setSpacing(8);
    SettingsPaneStyle::addHeader(
        outer, this, SettingsPaneStyle::cloudGlyph(30, SettingsPaneStyle::glyphColor(), qApp->devicePixelRatio()),
        tr("Cloud Folder"),
        tr("Your diary can live in a folder that a file-sync service keeps in step between your computers."));

    SettingsPaneStyle::addSection(outer, this, tr("Folder"),
                                  tr("It has to exist before the diary can move into it."));
    // Read-only but selectable, so the path can be copied into a file manager.
    folderField_ = new QLineEdit(this);
    folderField_->setObjectName(QStringLiteral("cloudFolderField"));
    folderField_->setReadOnly(true);
    folderField_->setFocusPolicy(Qt::ClickFocus);
    outer->addWidget(folderField_);

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
    SettingsPaneStyle::addSection(
        outer, this, tr("Moving the diary"),
        tr("Use \u201cMove Diary to Cloud Folder\u201d in the Migration pane."));
    outer->addStretch(1);
    refresh();
}

void CloudSettingView::refresh() {
    Utility* utility = Utility::sharedUtility();
    const QString root = CloudContainer::rootPath();
    const QString folder = root.isEmpty() ? QString() : root + QLatin1Char('/') + utility->ubiquityContainerIdentifier();
    folderField_->setText(folder.isEmpty() ? tr("No folder: the home folder is not known.") : folder);
    folderField_->setCursorPosition(0);
    const QString container = utility->cloudContainerURL();
    const bool available = !container.isEmpty();
    stateLabel_->setText(available ? tr("\u2713 Signed in: the cloud folder is available.")
                                   : tr("Signed out: the cloud folder does not exist yet."));
    const cloud::ExchangeStatus status =
        available ? cloud::readExchangeStatus(storePath_ ? storePath_() : QString(), container)
                  : cloud::ExchangeStatus{};
    auto when = [](const QDateTime& moment) {
        return moment.isValid() ? QLocale().toString(moment.toLocalTime(), QLocale::ShortFormat)
                                : tr("Never");
    };
    writtenLabel_->setText(when(status.lastWritten));
    appliedLabel_->setText(when(status.lastApplied));
    writersLabel_->setText(status.writers == 0 ? tr("None yet") : QString::number(status.writers));
    QPalette palette = stateLabel_->palette();
    palette.setColor(QPalette::WindowText, available ? QColor(0x2e, 0x7d, 0x32) : QColor(0x8a, 0x6d, 0x1f));
    stateLabel_->setPalette(palette);
}

void CloudSettingView::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

} // namespace quillet
