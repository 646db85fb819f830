#include "ui/ImportDialog.h"

#include "core/MainThread.h"
#include "core/NotificationCenter.h"
#include "diary/import/DiaryFormatImporter.h"
#include "diary/import/DiaryImport.h"
#include "diary/import/OldDataImporter.h"
#include "store/ManagedObjectContext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace quillet {

ImportDialog::ImportDialog(ManagedObjectContext* context, DiaryImport* diaryImport, QWidget* parent)
    : QDialog(parent), context_(context), import_(diaryImport) {
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(tr("Import Entries"));
    setMinimumWidth(520);
    auto* form = new QFormLayout(this);
    auto* row = new QHBoxLayout;
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("importPath"));
    path_->setPlaceholderText(tr("A diary file or folder"));
    auto* file = new QPushButton(tr("&File\u2026"), this);
    auto* folder = new QPushButton(tr("F&older\u2026"), this);
    row->addWidget(path_, 1);
    row->addWidget(file);
    row->addWidget(folder);
    form->addRow(tr("Source:"), row);
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("importFormat"));
    format_->addItem(tr("Detect from the content"), QString());
    for (const auto& f : DiaryFormatImporter::all()) {
        format_->addItem(f->formatName(), f->formatId());
    }
    form->addRow(tr("Format:"), format_);
    detected_ = new QLabel(this);
    detected_->setObjectName(QStringLiteral("importDetected"));
    form->addRow(QString(), detected_);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->hide();
    form->addRow(progress_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("importSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(summary_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* import = buttons_->addButton(tr("&Import"), QDialogButtonBox::AcceptRole);
    import->setObjectName(QStringLiteral("importButton"));
    form->addRow(buttons_);

    connect(file, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getOpenFileName(this, tr("Import a Diary File"), path_->text(), {},
                                         nullptr, QFileDialog::DontUseNativeDialog);
        if (!chosen.isEmpty()) {
            setPath(chosen);
        }
    });
    connect(folder, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, tr("Import a Diary Folder"), path_->text(),
            QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (!chosen.isEmpty()) {
            setPath(chosen);
        }
    });
    connect(path_, &QLineEdit::editingFinished, this, &ImportDialog::detect);
    connect(buttons_, &QDialogButtonBox::accepted, this, &ImportDialog::start);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::close);

    // The import's words come from its thread; the dialog changes on the main one.
    const QPointer<ImportDialog> self(this);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    observers_.push_back(
        center.addObserver(kDiaryImporting, nullptr, [self](const Notification& n) {
            const int value = n.userInfo.value(kProgressKey).toInt();
            MainThread::run(
                [self, value] {
                    if (self)
                        self->progress_->setValue(value);
                },
                false);
        }));
    observers_.push_back(
        center.addObserver(kDiaryDidImport, nullptr, [self](const Notification& n) {
            const QVariantMap info = n.userInfo;
            MainThread::run(
                [self, info] {
                    if (self)
                        self->finish(info);
                },
                false);
        }));
}

ImportDialog::~ImportDialog() {
    for (int token : observers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
}

void ImportDialog::setPath(const QString& path) {
    path_->setText(path);
    detect();
}

void ImportDialog::importPath(const QString& path) {
    setPath(path);
    start();
}

QString ImportDialog::summary() const {
    return summary_->text();
}

// Reads a few kilobytes, so it can run as the user picks.
void ImportDialog::detect() {
    const QString path = path_->text().trimmed();
    if (path.isEmpty()) {
        detected_->clear();
        return;
    }
    const DiaryFormatImporter* format = DiaryFormatImporter::detectFormat(path);
    detected_->setText(
        format ? tr("Detected: %1").arg(format->formatName())
               : tr("Not a diary that can be imported; choose the format if it is one."));
}

void ImportDialog::start() {
    const QString path = path_->text().trimmed();
    if (path.isEmpty()) {
        return;
    }
    if (!import_->start(context_.data(), path, format_->currentData().toString())) {
        summary_->setText(tr("Another import is under way; try again when it has ended."));
        return;
    }
    summary_->clear();
    progress_->setValue(0);
    progress_->show();
    buttons_->button(QDialogButtonBox::Close)->setFocus();
    for (QAbstractButton* button : buttons_->buttons()) {
        if (buttons_->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            button->setEnabled(false);
        }
    }
}

void ImportDialog::finish(const QVariantMap& userInfo) {
    progress_->hide();
    summary_->setText(ImportReport::fromUserInfo(userInfo).summary());
    for (QAbstractButton* button : buttons_->buttons()) {
        button->setEnabled(true);
    }
}

} // namespace quillet
