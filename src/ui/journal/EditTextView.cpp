#include "ui/journal/EditTextView.h"

#include "diary/Utility.h"
#include "ui/journal/LongLinePieces.h"
#include "ui/journal/PaneFocus.h"
#include "ui/journal/SpellMarker.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>
#include <memory>
#include <utility>

namespace quillet {

namespace {
// A pinch changes the size by this many points per unit of magnification.
constexpr double kPointsPerMagnification = 20.0;
// Sizes at or below this are refused by a pinch.
constexpr float kSmallestPinchedSize = 11.0f;
constexpr double kLayoutFontSize = 16.0;

// The font with the family it is really drawn in. Generic names such as
// "Sans Serif" name no installed font, so a font stored under one could
// never be found again.
QFont withInstalledFamily(QFont font) {
    if (!QFontDatabase::hasFamily(font.family())) {
        const QString drawn = QFontInfo(font).family();
        if (!drawn.isEmpty()) {
            font.setFamily(drawn);
        }
    }
    return font;
}
} // namespace

EditTextView::EditTextView(Utility* utility, QWidget* parent)
    : QPlainTextEdit(parent), utility_(utility) {
    setObjectName(QStringLiteral("editTextView"));
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(false);
    setFocusPolicy(Qt::StrongFocus);
    // Until a stored font is applied: the system's sans at a comfortable
    // reading size, with room around the text.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kLayoutFontSize);
    setFont(withInstalledFamily(font));
    document()->setDocumentMargin(14);
    // Undo is the diary's (the window's Undo and Redo): one history for the
    // typing and the commands, a step per pause, kept through remote changes.
    setUndoRedoEnabled(false);

    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        // Typed into, a piece (or a line) may grow past the long-line
        // length; it is split once the key is done, never inside Qt's edit.
        for (QTextBlock b = document()->findBlock(from);
             b.isValid() && b.position() <= from + added; b = b.next()) {
            if (b.length() - 1 > LongLinePieces::kLongLine) {
                if (splitFrom_ < 0) {
                    QTimer::singleShot(0, this, [this] { splitLongBlocks(); });
                }
                splitFrom_ = splitFrom_ < 0 ? b.position() : std::min(splitFrom_, b.position());
                splitTo_ = std::max(splitTo_, b.position() + b.length());
            }
        }
    });

    wheelGestureEnd_.setSingleShot(true);
    wheelGestureEnd_.setInterval(kWheelGestureTimeoutMs);
    connect(&wheelGestureEnd_, &QTimer::timeout, this, [this] { endWheelGesture(); });
}

void EditTextView::setFontSlider(QSlider* slider) {
    if (fontSlider) {
        disconnect(fontSlider, nullptr, this, nullptr);
    }
    fontSlider = slider;
    if (!slider) {
        return;
    }
    {
        const QSignalBlocker quiet(slider);
        slider->setRange(int(kFontSliderMinimum * kFontSliderScale),
                         int(kFontSliderMaximum * kFontSliderScale));
        slider->setSingleStep(kFontSliderScale / 2);
        slider->setPageStep(2 * kFontSliderScale);
    }
    showSizeOnSlider();
    connect(slider, &QSlider::valueChanged, this, [this] { fontSliderChanged(fontSlider); });
}

// ---- Font dialog

void EditTextView::orderFrontFontPanel(QObject* sender) {
    Q_UNUSED(sender);
    if (fontPanel_ && fontPanel_->isVisible()) {
        fontPanel_->raise();
        fontPanel_->activateWindow();
        return;
    }
    // The dialog picks a face by its style name; without one it falls on
    // the family's first face (often an oblique), and OK would apply that.
    QFont shown = withInstalledFamily(font());
    if (shown.styleName().isEmpty()) {
        shown.setStyleName(QFontInfo(shown).styleName());
    }
    fontPanel_ = new QFontDialog(shown, window());
    fontPanel_->setWindowTitle(tr("Font"));
    fontPanel_->setAttribute(Qt::WA_DeleteOnClose);
    connect(fontPanel_, &QFontDialog::fontSelected, this,
            [this](const QFont& chosen) { changeFont(chosen); });
    fontPanel_->open();
}

void EditTextView::changeFont(const QFont& font) {
    utility_->setCurrentFont(withInstalledFamily(font));
    setFont(font);
}

// ---- Pinch, and Ctrl+wheel in its place

void EditTextView::magnifyWithEvent(QNativeGestureEvent* event) {
    const double size = event->value() * kPointsPerMagnification + currentPointSize();
    setFontSliderFontSize(float(size));
}

void EditTextView::endGestureWithEvent(QNativeGestureEvent* event) {
    Q_UNUSED(event);
    utility_->setCurrentFont(withInstalledFamily(font()));
}

void EditTextView::setFontSliderFontSize(float size) {
    if (!(size > kSmallestPinchedSize)) {
        return;
    }
    changeFontSize(size);
    showSizeOnSlider();
}

void EditTextView::fontSliderChanged(QObject* sender) {
    Q_UNUSED(sender);
    if (fontSlider) {
        changeFontSize(float(double(fontSlider->value()) / kFontSliderScale));
    }
}

void EditTextView::changeFontSize(float size) {
    // QFont refuses sizes of zero and below; such a size changes nothing.
    if (!(size > 0.0f) || !std::isfinite(size)) {
        return;
    }
    QFont resized = font();
    resized.setPointSizeF(double(size));
    setFont(resized);
}

double EditTextView::currentPointSize() const {
    const double size = font().pointSizeF();
    // A font given in pixels has no point size of its own.
    return size > 0 ? size : QFontInfo(font()).pointSizeF();
}

void EditTextView::showSizeOnSlider() {
    if (!fontSlider) {
        return;
    }
    // Moving the slider here must not feed its rounded value back as a size.
    const QSignalBlocker quiet(fontSlider);
    fontSlider->setValue(int(std::lround(currentPointSize() * kFontSliderScale)));
}

bool EditTextView::nativeGesture(QNativeGestureEvent* event) {
    switch (event->gestureType()) {
    case Qt::ZoomNativeGesture:
        magnifyWithEvent(event);
        event->accept();
        return true;
    case Qt::EndNativeGesture:
        endGestureWithEvent(event);
        event->accept();
        return true;
    default:
        return false;
    }
}

void EditTextView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QPlainTextEdit::wheelEvent(event);
        return;
    }
    event->accept();
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) {
        return;
    }
    QNativeGestureEvent zoom(Qt::ZoomNativeGesture, event->pointingDevice(), 0, event->position(),
                             event->scenePosition(), event->globalPosition(),
                             notches * kWheelNotchMagnification, QPointF());
    magnifyWithEvent(&zoom);
    wheelGestureEnd_.start();
}

void EditTextView::endWheelGesture() {
    wheelGestureEnd_.stop();
    QNativeGestureEvent end(Qt::EndNativeGesture, QPointingDevice::primaryPointingDevice(), 0,
                            QPointF(), QPointF(), QPointF(), 0.0, QPointF());
    endGestureWithEvent(&end);
}

// ---- Events

bool EditTextView::event(QEvent* event) {
    if (event->type() == QEvent::NativeGesture &&
        nativeGesture(static_cast<QNativeGestureEvent*>(event))) {
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Left to the window's Undo and Redo rather than taken as the text's own.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

bool EditTextView::viewportEvent(QEvent* event) {
    // Gestures land on the viewport under the fingers.
    if (event->type() == QEvent::NativeGesture &&
        nativeGesture(static_cast<QNativeGestureEvent*>(event))) {
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void EditTextView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && moveFocusTo(entryTableView)) {
        event->accept();
        return;
    }
    if (!isReadOnly() && pieceKey(event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool EditTextView::pieceKey(QKeyEvent* event) {
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        return false;
    }
    const QTextBlock block = cursor.block();
    const bool atPieceStart = cursor.atBlockStart() && LongLinePieces::isPiece(block);
    const bool beforePiece = cursor.atBlockEnd() && LongLinePieces::isPiece(block.next());
    if (event->matches(QKeySequence::InsertParagraphSeparator) && LongLinePieces::isPiece(block)) {
        LongLinePieces::insertLineBreak(cursor);
    } else if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier &&
               atPieceStart) {
        // The break before a piece is no character: the one before it goes.
        cursor.setPosition(cursor.position() - 1);
        cursor.deletePreviousChar();
    } else if (event->matches(QKeySequence::Delete) && beforePiece) {
        cursor.setPosition(cursor.position() + 1);
        cursor.deleteChar();
    } else if (event->matches(QKeySequence::MoveToPreviousChar) && atPieceStart) {
        cursor.setPosition(cursor.position() - 1);
        cursor.movePosition(QTextCursor::PreviousCharacter);
    } else if (event->matches(QKeySequence::MoveToNextChar) && beforePiece) {
        cursor.setPosition(cursor.position() + 1);
        cursor.movePosition(QTextCursor::NextCharacter);
    } else {
        return false;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void EditTextView::splitLongBlocks() {
    const int from = std::exchange(splitFrom_, -1);
    const int to = std::exchange(splitTo_, -1);
    QTextDocument* doc = document();
    // Before the first split: the change it makes is no change of the text.
    holdsPieces_ = true;
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        LongLinePieces::splitIfLong(b);
    }
}

void EditTextView::setEntryText(const QString& text) {
    holdsPieces_ = LongLinePieces::hasLongLine(text);
    if (!holdsPieces_) {
        setPlainText(text);
        return;
    }
    // As setPlainText, with the long lines in pieces and no step to undo.
    setPlainText(QString());
    QTextDocument* doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    LongLinePieces::insertText(cursor, text);
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    moveCursor(QTextCursor::Start);
}

void EditTextView::setMarks(MarkKind kind, const QList<QTextEdit::ExtraSelection>& marks) {
    QList<QTextEdit::ExtraSelection>& own = marks_[size_t(kind)];
    if (own.isEmpty() && marks.isEmpty()) {
        return;
    }
    own = marks;
    QList<QTextEdit::ExtraSelection> all;
    for (const auto& list : marks_) {
        all += list;
    }
    setExtraSelections(all);
}

std::pair<int, int> EditTextView::shownRange() const {
    const QRect shown = viewport()->rect();
    return {cursorForPosition(shown.topLeft()).position(),
            cursorForPosition(shown.bottomRight()).position()};
}

void EditTextView::whenShownTextChanges(QObject* receiver, const std::function<void()>& then) {
    connect(document(), &QTextDocument::contentsChange, receiver, then);
    connect(this, &QPlainTextEdit::cursorPositionChanged, receiver, then);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, receiver, then);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, receiver, then);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
            receiver, then);
}

QString EditTextView::entryText() const {
    return LongLinePieces::text(document());
}

qsizetype EditTextView::textPosition(int documentPosition) const {
    qsizetype breaks = 0;
    if (holdsPieces_) {
        for (QTextBlock b = document()->begin().next();
             b.isValid() && b.position() <= documentPosition; b = b.next())
            breaks += LongLinePieces::isPiece(b) ? 1 : 0;
    }
    return documentPosition - breaks;
}

int EditTextView::documentPosition(qsizetype textPosition) const {
    if (!holdsPieces_) {
        return int(textPosition);
    }
    qsizetype breaks = 0;
    QTextBlock b = document()->begin();
    for (; b.isValid(); b = b.next()) {
        breaks += LongLinePieces::isPiece(b) ? 1 : 0;
        if (textPosition <= b.position() - breaks + b.length() - 1)
            break;
    }
    return int(textPosition + breaks);
}

qsizetype EditTextView::textLength() const {
    return textPosition(document()->characterCount() - 1);
}

void EditTextView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && wheelGestureEnd_.isActive()) {
        endWheelGesture();
    }
    QPlainTextEdit::keyReleaseEvent(event);
}

void EditTextView::enterEvent(QEnterEvent* event) {
    takeFocusOnPointerEntry(this);
    QPlainTextEdit::enterEvent(event);
}

void EditTextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit didEndEditing();
}

void EditTextView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        showSizeOnSlider();
    }
}

void EditTextView::contextMenuEvent(QContextMenuEvent* event) {
    // Qt's own items, with the spelling of the word under the pointer above them.
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (spellMarker) {
        spellMarker->addMenuItems(menu.get(), event->pos());
    }
    menu->exec(event->globalPos());
}

// ---- Paste and drop

QString EditTextView::pastableText(const QMimeData* source) {
    // Asking the clipboard's owner may wait for it and run events meanwhile,
    // during which the clipboard can drop the data it handed out.
    const QPointer<QMimeData> alive(const_cast<QMimeData*>(source));
    if (!alive) {
        return QString();
    }
    QString text;
    if (alive->hasText() && alive) {
        text = alive->text();
    }
    if (text.isEmpty() && alive && alive->hasHtml() && alive) {
        const QString html = alive->html();
        text = QTextDocumentFragment::fromHtml(html).toPlainText();
    }
    if (!alive || text.isEmpty()) {
        return QString();
    }
    // One kind of line end, and no characters the editor cannot show or store.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.remove(QChar(0));
    return text.isEmpty() ? QString() : text;
}

bool EditTextView::canInsertFromMimeData(const QMimeData* source) const {
    return source && !isReadOnly() && (source->hasText() || source->hasHtml());
}

void EditTextView::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly()) {
        return;
    }
    const QString text = pastableText(source);
    if (text.isEmpty()) {
        return;
    }
    holdsPieces_ = holdsPieces_ || LongLinePieces::hasLongLine(text);
    QTextCursor cursor = textCursor();
    LongLinePieces::insertText(cursor, text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* EditTextView::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* mime = new QMimeData;
    mime->setText(LongLinePieces::text(document(), cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

} // namespace quillet
