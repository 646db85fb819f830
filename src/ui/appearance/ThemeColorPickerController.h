#pragma once

#include "ui/appearance/ColorPickerController.h"

namespace quillet {

// The picker of the tag popover: the theme's pick images mark the selected
// tag (highlighted image) and the others (plain image), on the patterned
// picker background. Buttons are never dimmed.
class ThemeColorPickerController : public ColorPickerController {
    Q_OBJECT
public:
    explicit ThemeColorPickerController(Utility* utility, QWidget* parent = nullptr);

    void setSelID(int tag) override;
    // Redraws every button even when the tag is unchanged, then tells the delegate.
    void setSelIDfromTab(int tag) override;
    void deselectAll() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillet
