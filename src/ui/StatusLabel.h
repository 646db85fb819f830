#pragma once

#include <QFrame>
#include <QPointer>
#include <vector>

class QLabel;

namespace quillet {

struct Notification;

// The small box of the main window that follows an import of the previous
// generation's diary, whichever place started it: shown with the import's
// percentage while it runs, hidden when it ends. It learns of the import
// only through the import's notifications, which may come from any thread;
// it changes itself only on the main thread.
class StatusLabel : public QFrame {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget* parent = nullptr);
    ~StatusLabel() override;

    QLabel* textField() const { return textField_; }
    QString labelText() const;
    void setLabelText(const QString& text);

    // The notification handlers, safe on any thread: each only queues its
    // step for the main thread, where it runs if the box still exists.
    void dataWillImport(const Notification& note) {
        dataWillImport(QPointer<StatusLabel>(this), note);
    }
    void dataImporting(const Notification& note) {
        dataImporting(QPointer<StatusLabel>(this), note);
    }
    void dataDidImportSucess(const Notification& note) {
        dataDidImportSucess(QPointer<StatusLabel>(this), note);
    }
    void dataDidImportFail(const Notification& note) {
        dataDidImportFail(QPointer<StatusLabel>(this), note);
    }

    // The steps, on the main thread.
    void showStatusLabelAsDataWillImport();
    void showStatusLabelAsDataImporting(int progress);
    void showStatusLabelAsDataDidImport();

private:
    // What the observers call: they hold the box only through a guard, which
    // is never followed on the posting thread.
    static void dataWillImport(const QPointer<StatusLabel>& label, const Notification& note);
    static void dataImporting(const QPointer<StatusLabel>& label, const Notification& note);
    static void dataDidImportSucess(const QPointer<StatusLabel>& label, const Notification& note);
    static void dataDidImportFail(const QPointer<StatusLabel>& label, const Notification& note);

    QLabel* textField_ = nullptr;
    // "Import Almanah" while another diary comes in.
    QString importing_;
    std::vector<int> observers_;
};

} // namespace quillet
