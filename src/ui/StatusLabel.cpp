#include "ui/StatusLabel.h"

#include "core/MainThread.h"
#include "core/NotificationCenter.h"
#include "diary/import/DiaryImport.h"
#include "diary/import/OldDataImporter.h"

#include <QHBoxLayout>
#include <QLabel>

namespace quillet {

StatusLabel::StatusLabel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("statusLabel"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 5, 10, 5);
    textField_ = new QLabel(this);
    textField_->setObjectName(QStringLiteral("statusLabelText"));
    // What the first import shows until its first step; later ones start from the last text.
    textField_->setText(tr("Import Old Data...0%"));
    layout->addWidget(textField_);

    // Registered once, for as long as the box exists.
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const QPointer<StatusLabel> self(this);
    observers_ = {
        center.addObserver(kOldDataWillImport, nullptr,
                           [self](const Notification& n) { dataWillImport(self, n); }),
        center.addObserver(kOldDataImporting, nullptr,
                           [self](const Notification& n) { dataImporting(self, n); }),
        center.addObserver(kOldDataDidImportSucess, nullptr,
                           [self](const Notification& n) { dataDidImportSucess(self, n); }),
        center.addObserver(kOldDataDidImportFail, nullptr,
                           [self](const Notification& n) { dataDidImportFail(self, n); }),
    };
    // An import of another diary is followed the same way, with its format's name.
    const auto onMain = [self](std::function<void(StatusLabel&)> step) {
        MainThread::run(
            [self, step] {
                if (self)
                    step(*self);
            },
            false);
    };
    observers_.push_back(
        center.addObserver(kDiaryWillImport, nullptr, [onMain](const Notification& n) {
            const QString format = n.userInfo.value(QStringLiteral("format")).toString();
            onMain([format](StatusLabel& label) {
                label.importing_ = format.isEmpty() ? tr("Import") : tr("Import %1").arg(format);
                label.setLabelText(tr("%1...%2%").arg(label.importing_).arg(0));
                label.show();
            });
        }));
    observers_.push_back(
        center.addObserver(kDiaryImporting, nullptr, [onMain](const Notification& n) {
            const int progress = n.userInfo.value(kProgressKey).toInt();
            onMain([progress](StatusLabel& label) {
                label.setLabelText(tr("%1...%2%").arg(label.importing_).arg(progress));
                label.show();
            });
        }));
    observers_.push_back(
        center.addObserver(kDiaryDidImport, nullptr, [onMain](const Notification&) {
            onMain([](StatusLabel& label) { label.hide(); });
        }));
}

StatusLabel::~StatusLabel() {
    for (int token : observers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
}

QString StatusLabel::labelText() const {
    return textField_ ? textField_->text() : QString();
}

void StatusLabel::setLabelText(const QString& text) {
    if (textField_) {
        textField_->setText(text);
    }
}

void StatusLabel::dataWillImport(const QPointer<StatusLabel>& label, const Notification&) {
    MainThread::run(
        [label] {
            if (label)
                label->showStatusLabelAsDataWillImport();
        },
        false);
}

void StatusLabel::dataImporting(const QPointer<StatusLabel>& label, const Notification& note) {
    const int progress = note.userInfo.value(kProgressKey).toInt();
    MainThread::run(
        [label, progress] {
            if (label)
                label->showStatusLabelAsDataImporting(progress);
        },
        false);
}

void StatusLabel::dataDidImportSucess(const QPointer<StatusLabel>& label, const Notification&) {
    MainThread::run(
        [label] {
            if (label)
                label->showStatusLabelAsDataDidImport();
        },
        false);
}

void StatusLabel::dataDidImportFail(const QPointer<StatusLabel>& label, const Notification&) {
    MainThread::run(
        [label] {
            if (label)
                label->showStatusLabelAsDataDidImport();
        },
        false);
}

void StatusLabel::showStatusLabelAsDataWillImport() {
    // The text stays as the last import left it until the first percentage.
    show();
}

void StatusLabel::showStatusLabelAsDataImporting(int progress) {
    setLabelText(tr("Import Old Data...%1%").arg(progress));
    show();
}

void StatusLabel::showStatusLabelAsDataDidImport() {
    hide();
}

} // namespace quillet
