#pragma once

#include <QListWidget>

namespace quillet {

// The row of six color tag images under the month grid; item i is tag i,
// and tag 0 stands for no color filter.
class ColorTagSelectView : public QListWidget {
    Q_OBJECT
public:
    explicit ColorTagSelectView(QWidget* parent = nullptr);
    void setImages(const std::vector<QPixmap>& images);
};

} // namespace quillet
