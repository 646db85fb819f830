#pragma once

#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace quillet {

// A round tag button of a picker. It draws its image, or its alternate image
// while pressed, centred; with no image it shows a plain push button.
class ColorPickerButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorPickerButton(QWidget* parent = nullptr);

    QPixmap image() const { return image_; }
    void setImage(const QPixmap& image);
    QPixmap alternateImage() const { return alternateImage_; }
    void setAlternateImage(const QPixmap& image);
    // The opacity the button is drawn with (1.0 when never set).
    qreal alphaValue() const;
    void setAlphaValue(qreal alpha);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap image_;
    QPixmap alternateImage_;
};

} // namespace quillet
