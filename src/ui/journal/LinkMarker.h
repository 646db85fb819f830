#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

class QPoint;

namespace quillet {

class EditTextView;

// Shows the web and mail addresses on screen in the editor as links
// (underlined, in the palette's link color) and opens one on Ctrl+click; the
// pointer is a hand over a link while Ctrl is held. A plain click places the
// caret as ever, and the text is never changed.
class LinkMarker : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QUrl&)>;
    // Without an opener, links open in the desktop's browser or mail program.
    explicit LinkMarker(EditTextView* editor, Opener opener = {});

    // Marks the shown part now (otherwise run by a timer after changes).
    void mark();
    // The link under a point of the editor's viewport.
    std::optional<QUrl> linkAt(const QPoint& viewportPos) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void showPointer(bool ctrl);

    EditTextView* editor_;
    Opener opener_;
    QTimer pending_;
    bool opening_ = false;
};

} // namespace quillet
