#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace quillet {

// Drawing shared by the lock screen and the settings pane: the pin boxes, the
// padlock glyph and the raised card the lock screen's entry sits on. Drawn
// rather than shipped so they stay sharp at any device pixel ratio.
namespace PasscodeArt {

constexpr int kBoxWidth = 52;
constexpr int kBoxHeight = 60;

// An empty pin box: a white, softly shaded rounded well.
QPixmap pinBoxImage(qreal devicePixelRatio);
// A closed (or open) padlock of the given height, for headings and toolbars.
QPixmap padlockImage(int height, const QColor& color, bool open, qreal devicePixelRatio);

} // namespace PasscodeArt

// A translucent rounded panel with a soft shadow that lifts its contents off
// a patterned background.
class PasscodeCard : public QWidget {
    Q_OBJECT
public:
    explicit PasscodeCard(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillet
