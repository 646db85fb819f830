#pragma once

#include <QFrame>

namespace quillet {

// A small window anchored to the control that asked for it. It closes on its
// own buttons (performClose) and on a click outside it.
class Popover : public QFrame {
    Q_OBJECT
public:
    enum class Edge { MinX = 0, MinY = 1, MaxX = 2, MaxY = 3 };

    explicit Popover(QWidget* parent = nullptr);

    // Shows the popover next to rect (in anchor's coordinates) on the given
    // edge; for MaxY (the top edge in the platform's flipped coordinates) it
    // opens below the anchor.
    void showRelativeToRect(const QRect& rect, QWidget* anchor, Edge edge);
    void performClose(QObject* sender);
    bool isShown() const { return isVisible(); }

signals:
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;
};

} // namespace quillet
