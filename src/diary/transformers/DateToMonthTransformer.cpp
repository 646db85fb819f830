#include "diary/transformers/DateToMonthTransformer.h"

#include "diary/transformers/TransformerSupport.h"

namespace quillet {

QVariant DateToMonthTransformer::transformedValue(const QVariant& value) const {
    return TransformerSupport::rendered(value, QStringLiteral("yyyy,MMM"));
}

} // namespace quillet
