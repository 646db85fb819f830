#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class QAbstractItemView;

namespace quillet {

// For tools/live-soak: with QUILLET_LIST_REPORT=FILE set, the rows of the
// entry list (what its view paints, the current row marked) are written to
// FILE whenever they change, after a line naming the month the list shows:
// uuid, month tag, color tag and a hash of the line shown, never the text,
// so that a soak can hold the window against its store.
class ListReport : public QObject {
    Q_OBJECT
public:
    using MonthSource = std::function<std::optional<qint64>()>;
    ListReport(QAbstractItemView* view, MonthSource month, QString path, QObject* parent);

private:
    void poll();

    QAbstractItemView* view_;
    MonthSource month_;
    QString path_;
    QByteArray written_;
    QTimer timer_;
};

} // namespace quillet
