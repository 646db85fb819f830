#pragma once

#include <QFrame>
#include <QPointer>
#include <utility>
#include <vector>

class QLabel;
class QToolButton;

namespace quillet {

struct Notification;

// The band at the top of the editor side that shows the diary's notices:
// failures that need no answer, one line per topic, newest last. It never
// takes the keyboard (nothing in it accepts focus), so typing goes on in the
// editor while it is up; its close button hides what it shows. Notices may
// come from any thread; the band changes only on the main thread.
class MessageBar : public QFrame {
public:
    explicit MessageBar(QWidget* parent = nullptr);
    ~MessageBar() override;

    QString text() const;
    // On the main thread: shows the message under its topic, or withdraws
    // the topic's message when it is empty.
    void showNotice(const QString& topic, const QString& message);
    void dismiss(QObject* sender);

private:
    static void noticePosted(const QPointer<MessageBar>& bar, const Notification& note);
    void refresh();

    QLabel* label_ = nullptr;
    QToolButton* closeButton_ = nullptr;
    std::vector<std::pair<QString, QString>> notices_; // topic, message
    int observer_ = 0;
};

} // namespace quillet
