#pragma once

#include "ui/appearance/ColorPickerButton.h"
#include "ui/appearance/ColorPickerDelegate.h"

#include <QWidget>

namespace quillet {

class Utility;

// Six buttons, one per color tag (0 gray, 1 red, 2 orange, 3 yellow, 4 green,
// 5 blue). The selected tag's button is drawn fully, the others dimmed. Every
// pick is reported to the delegate, also a pick of the tag already held.
class ColorPickerController : public QWidget {
    Q_OBJECT
public:
    // The buttons' images follow utility's theme.
    explicit ColorPickerController(Utility* utility, QWidget* parent = nullptr);

    int selectedEmotionID() const { return selectedEmotionID_; }
    // Stores the tag and leaves every button as it is.
    void setSelectedEmotionID(int tag) { selectedEmotionID_ = tag; }
    const ColorPickerDelegate& delegate() const { return delegate_; }
    void setDelegate(ColorPickerDelegate delegate) { delegate_ = std::move(delegate); }

    // Shows the tag as selected without telling the delegate; a tag outside
    // 0 to 5 is kept but marks no button.
    virtual void setSelID(int tag);
    // Selects the tag and tells the delegate.
    virtual void setSelIDfromTab(int tag);
    int getSelID() const { return selectedEmotionID_; }
    // Shows no tag as selected.
    virtual void deselectAll();
    void hideView(QObject* sender);

    void grayButtonSelected(QObject* sender);
    void redButtonSelected(QObject* sender);
    void orangeButtonSelected(QObject* sender);
    void yellowButtonSelected(QObject* sender);
    void greenButtonSelected(QObject* sender);
    void blueButtonSelected(QObject* sender);

    // The button of a tag, in tag order; null outside 0 to 5.
    ColorPickerButton* buttonForTag(int tag) const;

    ColorPickerButton* grayButton;
    ColorPickerButton* redButton;
    ColorPickerButton* blueButton;
    ColorPickerButton* yellowButton;
    ColorPickerButton* greenButton;
    ColorPickerButton* orangeButton;

protected:
    void tellDelegateColorPicked();

    Utility* utility_;

private:
    int selectedEmotionID_ = 0;
    ColorPickerDelegate delegate_;
};

} // namespace quillet
