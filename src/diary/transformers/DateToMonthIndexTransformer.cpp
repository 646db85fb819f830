#include "diary/transformers/DateToMonthIndexTransformer.h"

#include "core/Calendar.h"
#include "diary/transformers/TransformerSupport.h"

namespace quillet {

// The indexes come from the calendar rather than from formatted digits, which
// in some locales are not ASCII and would not read back as numbers.
QVariant DateToMonthIndexTransformer::transformedValue(const QVariant& value) const {
    const std::optional<QDateTime> date = TransformerSupport::dateOf(value);
    if (!date) {
        return {};
    }
    return Calendar::currentCalendar().components(*date).month - 1;
}

} // namespace quillet
