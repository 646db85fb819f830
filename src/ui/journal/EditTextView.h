#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <utility>

class QFontDialog;
class QNativeGestureEvent;
class QSlider;

namespace quillet {

class SpellMarker;
class Utility;

// The entry editor: the selected entry's text in one font. Leaving it ends
// editing, which saves the diary. Its font follows the font dialog, a pinch
// (or Ctrl+wheel) and the font size slider; only the dialog and the end of a
// pinch remember the font in the settings.
class EditTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    // The slider works in tenths of a point, so fractional sizes survive it.
    static constexpr int kFontSliderScale = 10;
    static constexpr double kFontSliderMinimum = 10.0;
    static constexpr double kFontSliderMaximum = 72.0;
    // What one notch of the wheel stands for, as a pinch's magnification.
    static constexpr double kWheelNotchMagnification = 0.1;
    // Ctrl+wheel has no end event: this long without a notch ends the gesture.
    static constexpr int kWheelGestureTimeoutMs = 400;

    // The editor's font is kept in utility's settings.
    explicit EditTextView(Utility* utility, QWidget* parent = nullptr);

    QSlider* fontSlider = nullptr;
    QWidget* entryTableView = nullptr;
    // Marks misspelt words and adds its suggestions to the context menu.
    SpellMarker* spellMarker = nullptr;

    // The marks drawn over the text, one list per kind, all shown at once:
    // each marker replaces only its own.
    enum class MarkKind { Search, Spelling, Links, Count };
    void setMarks(MarkKind kind, const QList<QTextEdit::ExtraSelection>& marks);
    const QList<QTextEdit::ExtraSelection>& marks(MarkKind kind) const {
        return marks_[size_t(kind)];
    }
    // The document positions of the first and last characters on screen.
    std::pair<int, int> shownRange() const;
    // Calls then (queued, coalesced by the caller) when other text comes on
    // screen: a change, a scroll, a new width or font.
    void whenShownTextChanges(QObject* receiver, const std::function<void()>& then);

    // Takes the slider over: its range, its position and its changes.
    void setFontSlider(QSlider* slider);

    // Opens the font dialog on the editor's font; a chosen font goes to changeFont.
    void orderFrontFontPanel(QObject* sender);
    // A font chosen in the font dialog: remembered first, then applied.
    void changeFont(const QFont& font);
    void magnifyWithEvent(QNativeGestureEvent* event);
    void endGestureWithEvent(QNativeGestureEvent* event);
    void setFontSliderFontSize(float size);
    void fontSliderChanged(QObject* sender);
    void changeFontSize(float size);

    bool isWheelGestureActive() const { return wheelGestureEnd_.isActive(); }

    // The entry's text, exactly as it is: put in with its long lines in
    // pieces (see LongLinePieces), taken out with those breaks left out.
    // The editor's toPlainText() and setPlainText() know no pieces.
    void setEntryText(const QString& text);
    QString entryText() const;
    // Whether some long line may be held in pieces: only then do document
    // positions differ from positions in the text.
    bool holdsPieces() const { return holdsPieces_; }
    void notePieces() { holdsPieces_ = true; }
    // Positions in the text and in the document, one from the other.
    qsizetype textPosition(int documentPosition) const;
    int documentPosition(qsizetype textPosition) const;
    qsizetype textLength() const;

    // What a paste or a drop of source would put into the text: its plain
    // text, or the text of its HTML; null when it offers neither, does not
    // answer, or went away while it was asked.
    static QString pastableText(const QMimeData* source);

signals:
    void didEndEditing();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Pastes and drops take plain text only, checked before use, so that a
    // clipboard owner that does not answer (or answers nonsense) leaves the
    // text as it was.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    Utility* utility_;
    bool nativeGesture(QNativeGestureEvent* event);
    void endWheelGesture();
    double currentPointSize() const;
    void showSizeOnSlider();
    // Keys whose Qt meaning would stop at, or copy, the break between two pieces.
    bool pieceKey(QKeyEvent* event);
    void splitLongBlocks();

    QTimer wheelGestureEnd_;
    QPointer<QFontDialog> fontPanel_;
    // Blocks grown past the long-line length by typing, split once the key is done.
    int splitFrom_ = -1;
    int splitTo_ = -1;
    bool holdsPieces_ = false;
    std::array<QList<QTextEdit::ExtraSelection>, size_t(MarkKind::Count)> marks_;
};

} // namespace quillet
