#include "appearance/DateToMonthTransformer.h"

#include "appearance/TransformerSupport.h"

namespace quillet {

QVariant DateToMonthTransformer::transformedValue(const QVariant& value) const {
    return TransformerSupport::rendered(value, QStringLiteral("yyyy,MMM"));
}

} // namespace quillet
