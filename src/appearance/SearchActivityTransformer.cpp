#include "appearance/SearchActivityTransformer.h"

#include <QLineEdit>

namespace quillet {

SearchActivityTransformer::SearchActivityTransformer(QLineEdit* searchField) : searchField_(searchField) {}

QLineEdit* SearchActivityTransformer::searchField() const {
    return searchField_;
}

QVariant SearchActivityTransformer::transformedValue(const QVariant& value) const {
    Q_UNUSED(value);
    return !searchField_ || searchField_->text().isEmpty();
}

} // namespace quillet
