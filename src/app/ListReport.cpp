#include "app/ListReport.h"

#include "store/ArrayController.h"
#include "store/ManagedObject.h"

#include <QAbstractItemView>
#include <QCryptographicHash>
#include <QSaveFile>

namespace quillet {

ListReport::ListReport(QAbstractItemView* view, MonthSource month, QString path, QObject* parent)
    : QObject(parent), view_(view), month_(std::move(month)), path_(std::move(path)) {
    // A poll rather than the model's signals: a row whose record changed
    // without a signal is what the view paints at its next repaint.
    connect(&timer_, &QTimer::timeout, this, &ListReport::poll);
    timer_.start(200);
}

void ListReport::poll() {
    const std::optional<qint64> month = month_();
    QByteArray report = "month " + (month ? QByteArray::number(*month) : QByteArray("-")) + '\n';
    const QAbstractItemModel* model = view_->model();
    const int current = view_->currentIndex().row();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        const auto* entry =
            model->index(row, 0).data(ArrayController::ObjectRole).value<ManagedObject*>();
        if (!entry) {
            continue;
        }
        const QByteArray shown = model->index(row, 0).data(Qt::DisplayRole).toString().toUtf8();
        report += (row == current ? "* " : "- ") + entry->uuid().toUtf8() + ' ' +
                  QByteArray::number(entry->monthTag()) + ' ' +
                  QByteArray::number(entry->colorTag()) + ' ' +
                  QCryptographicHash::hash(shown, QCryptographicHash::Sha1).toHex().left(12) + '\n';
    }
    if (report == written_) {
        return;
    }
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly) && file.write(report) == report.size() && file.commit()) {
        written_ = report;
    }
}

} // namespace quillet
