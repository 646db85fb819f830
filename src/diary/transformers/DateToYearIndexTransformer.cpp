#include "diary/transformers/DateToYearIndexTransformer.h"

#include "core/Calendar.h"
#include "diary/journal/YearList.h"
#include "diary/transformers/TransformerSupport.h"

namespace quillet {

// The calendar year ("yyyy"): the week-based year would put the last days of
// some Decembers into the following year.
QVariant DateToYearIndexTransformer::transformedValue(const QVariant& value) const {
    const std::optional<QDateTime> date = TransformerSupport::dateOf(value);
    if (!date) {
        return {};
    }
    return Calendar::currentCalendar().components(*date).year - kFirstListedYear;
}

} // namespace quillet
