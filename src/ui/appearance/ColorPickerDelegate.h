#pragma once

#include <QVariant>
#include <functional>

namespace quillet {

class ColorPickerController;

// What a color tag picker tells whoever listens. Both operations are
// optional: an empty one is an operation the delegate does not implement,
// and the picker asks before each call.
struct ColorPickerDelegate {
    // The picked tag, boxed as an integer; after every pick, changed or not.
    std::function<void(const QVariant& tag)> colorPicked;
    // The picker folds away.
    std::function<void(ColorPickerController* picker)> pickerFolded;

    bool respondsToColorPicked() const { return bool(colorPicked); }
    bool respondsToPickerFolded() const { return bool(pickerFolded); }
};

} // namespace quillet
