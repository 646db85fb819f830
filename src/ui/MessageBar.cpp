#include "ui/MessageBar.h"

#include "core/MainThread.h"
#include "core/Notices.h"
#include "core/NotificationCenter.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QStringList>
#include <QToolButton>

namespace quillet {

MessageBar::MessageBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("messageBar"));
    setAccessibleName(QCoreApplication::translate("MessageBar", "Message bar"));
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 6, 6);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("messageBarText"));
    label_->setWordWrap(true);
    label_->setFocusPolicy(Qt::NoFocus);
    label_->setTextFormat(Qt::PlainText);
    layout->addWidget(label_, 1);
    closeButton_ = new QToolButton(this);
    closeButton_->setObjectName(QStringLiteral("messageBarClose"));
    closeButton_->setText(QStringLiteral("\u2715"));
    closeButton_->setToolTip(QCoreApplication::translate("MessageBar", "Close"));
    closeButton_->setAccessibleName(QCoreApplication::translate("MessageBar", "Close the message"));
    closeButton_->setFocusPolicy(Qt::NoFocus);
    closeButton_->setAutoRaise(true);
    layout->addWidget(closeButton_, 0, Qt::AlignTop);
    connect(closeButton_, &QToolButton::clicked, this, [this] { dismiss(closeButton_); });
    hide();

    const QPointer<MessageBar> self(this);
    observer_ = NotificationCenter::defaultCenter().addObserver(
        kNoticePosted, nullptr, [self](const Notification& n) { noticePosted(self, n); });
}

MessageBar::~MessageBar() {
    NotificationCenter::defaultCenter().removeObserver(observer_);
}

void MessageBar::noticePosted(const QPointer<MessageBar>& bar, const Notification& note) {
    const QString topic = note.userInfo.value(kNoticeTopicKey).toString();
    const QString message = note.userInfo.value(kNoticeMessageKey).toString();
    // The guard is followed only on the main thread, where the bar lives.
    MainThread::run(
        [bar, topic, message] {
            if (bar)
                bar->showNotice(topic, message);
        },
        false);
}

QString MessageBar::text() const {
    return label_->text();
}

void MessageBar::showNotice(const QString& topic, const QString& message) {
    std::erase_if(notices_, [&](const auto& notice) { return notice.first == topic; });
    if (!message.isEmpty()) {
        notices_.emplace_back(topic, message);
    }
    refresh();
}

void MessageBar::dismiss(QObject* sender) {
    Q_UNUSED(sender);
    notices_.clear();
    refresh();
}

void MessageBar::refresh() {
    QStringList lines;
    for (const auto& notice : notices_) {
        lines.append(notice.second);
    }
    label_->setText(lines.join(QLatin1Char('\n')));
    setVisible(!lines.isEmpty());
}

} // namespace quillet
