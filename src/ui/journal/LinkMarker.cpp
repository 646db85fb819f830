#include "ui/journal/LinkMarker.h"

#include "core/TextLinks.h"
#include "ui/journal/EditTextView.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>

namespace quillet {

LinkMarker::LinkMarker(EditTextView* editor, Opener opener)
    : QObject(editor), editor_(editor), opener_(std::move(opener)) {
    if (!opener_) {
        opener_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, [this] { mark(); });
    editor_->whenShownTextChanges(this, [this] { schedule(); });
    editor_->installEventFilter(this);
    editor_->viewport()->installEventFilter(this);
    editor_->viewport()->setMouseTracking(true);
}

void LinkMarker::schedule() {
    if (!pending_.isActive()) {
        pending_.start();
    }
}

void LinkMarker::mark() {
    pending_.stop();
    QList<QTextEdit::ExtraSelection> marks;
    if (editor_->isVisible()) {
        QTextCharFormat format;
        format.setFontUnderline(true);
        format.setForeground(editor_->palette().color(QPalette::Link));
        const auto [from, to] = editor_->shownRange();
        QTextDocument* doc = editor_->document();
        for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
            if (!b.isVisible()) {
                continue;
            }
            for (const TextLinks::Link& link : TextLinks::find(b.text())) {
                QTextEdit::ExtraSelection mark{QTextCursor(doc), format};
                mark.cursor.setPosition(b.position() + int(link.start));
                mark.cursor.setPosition(b.position() + int(link.start + link.length),
                                        QTextCursor::KeepAnchor);
                marks.append(mark);
            }
        }
    }
    editor_->setMarks(EditTextView::MarkKind::Links, marks);
}

std::optional<QUrl> LinkMarker::linkAt(const QPoint& viewportPos) const {
    const QTextCursor at = editor_->cursorForPosition(viewportPos);
    const QTextBlock block = at.block();
    const int offset = at.position() - block.position();
    // The caret position nearest the point: left of the character it falls on.
    const bool rightHalf = editor_->cursorRect(at).center().x() > viewportPos.x();
    const int character = rightHalf ? offset - 1 : offset;
    for (const TextLinks::Link& link : TextLinks::find(block.text())) {
        if (link.start <= character && character < link.start + link.length) {
            return link.url;
        }
    }
    return std::nullopt;
}

void LinkMarker::showPointer(bool ctrl) {
    const QPoint pos = editor_->viewport()->mapFromGlobal(QCursor::pos());
    const bool overLink =
        ctrl && editor_->viewport()->rect().contains(pos) && linkAt(pos).has_value();
    if (overLink) {
        editor_->viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        editor_->viewport()->setCursor(Qt::IBeamCursor);
    }
}

bool LinkMarker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control) {
            showPointer(event->type() == QEvent::KeyPress);
        }
        break;
    case QEvent::MouseMove:
        if (watched == editor_->viewport()) {
            const auto* move = static_cast<QMouseEvent*>(event);
            const bool ctrl = move->modifiers() & Qt::ControlModifier;
            const bool overLink = ctrl && linkAt(move->position().toPoint()).has_value();
            editor_->viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == editor_->viewport()) {
            const auto* press = static_cast<QMouseEvent*>(event);
            if (press->button() == Qt::LeftButton && press->modifiers() == Qt::ControlModifier) {
                if (const std::optional<QUrl> url = linkAt(press->position().toPoint())) {
                    opening_ = true;
                    opener_(*url);
                    return true;
                }
            }
        }
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The rest of the click that opened a link selects nothing.
        if (watched == editor_->viewport() && opening_) {
            opening_ = event->type() == QEvent::MouseButtonDblClick;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillet
