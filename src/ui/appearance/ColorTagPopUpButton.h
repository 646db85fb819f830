#pragma once

#include <QComboBox>

namespace quillet {

// A pop-up of the six color tags as the theme's icons, without titles.
class ColorTagPopUpButton : public QComboBox {
    Q_OBJECT
public:
    explicit ColorTagPopUpButton(QWidget* parent = nullptr);

    // Appends one item per tag 0 to 5 after the items already there, so item
    // (count before + k) stands for tag k. Called once the pop-up's own items
    // are in place.
    void awakeFromNib();
};

} // namespace quillet
