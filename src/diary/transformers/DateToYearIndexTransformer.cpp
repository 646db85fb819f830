#include "diary/transformers/DateToYearIndexTransformer.h"

#include "diary/transformers/TransformerSupport.h"
#include "core/Calendar.h"

namespace quillet {

namespace {

constexpr int kFirstListedYear = 1990;

} // namespace

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
