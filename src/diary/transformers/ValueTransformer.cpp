#include "diary/transformers/ValueTransformer.h"

#include "diary/transformers/DateToDayTransformer.h"
#include "diary/transformers/DateToMonthIndexTransformer.h"
#include "diary/transformers/DateToMonthTransformer.h"
#include "diary/transformers/DateToStringTransformer.h"
#include "diary/transformers/DateToTimeTransformer.h"
#include "diary/transformers/DateToWeekTransformer.h"
#include "diary/transformers/DateToYearIndexTransformer.h"

#include <QHash>
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

namespace quillet {

namespace {

using Factory = ValueTransformer::Factory;

template <typename T> std::pair<QString, Factory> make(const char* name) {
    return {QString::fromLatin1(name), [] { return std::make_shared<T>(); }};
}

// The transformers that need nothing but their class to work.
QHash<QString, Factory>& statelessClasses() {
    static QHash<QString, Factory> classes{
        make<DateToDayTransformer>("DateToDayTransformer"),
        make<DateToWeekTransformer>("DateToWeekTransformer"),
        make<DateToTimeTransformer>("DateToTimeTransformer"),
        make<DateToMonthTransformer>("DateToMonthTransformer"),
        make<DateToMonthIndexTransformer>("DateToMonthIndexTransformer"),
        make<DateToYearIndexTransformer>("DateToYearIndexTransformer"),
        make<DateToStringTransformer>("DateToStringTransformer"),
    };
    return classes;
}

QHash<QString, std::shared_ptr<ValueTransformer>>& registry() {
    static QHash<QString, std::shared_ptr<ValueTransformer>> transformers;
    return transformers;
}

} // namespace

ValueTransformer::~ValueTransformer() = default;

void ValueTransformer::setValueTransformer(std::shared_ptr<ValueTransformer> transformer,
                                           const QString& name) {
    if (transformer) {
        registry().insert(name, std::move(transformer));
    } else {
        registry().remove(name);
    }
}

void ValueTransformer::setValueTransformerClass(const QString& name, Factory factory) {
    statelessClasses().insert(name, std::move(factory));
}

std::shared_ptr<ValueTransformer> ValueTransformer::valueTransformerForName(const QString& name) {
    auto& transformers = registry();
    if (const auto it = transformers.constFind(name); it != transformers.constEnd()) {
        return *it;
    }
    const auto& classes = statelessClasses();
    const auto factory = classes.constFind(name);
    if (factory == classes.constEnd()) {
        return nullptr;
    }
    std::shared_ptr<ValueTransformer> made = (*factory)();
    transformers.insert(name, made);
    return made;
}

int ValueTransformer::intValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return 0;
    }
    const auto clampedReal = [](double real) {
        return std::isnan(real) ? 0 : int(std::clamp(real, double(INT_MIN), double(INT_MAX)));
    };
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        // Fractions are cut towards zero, as a number's integer value is
        // (converting to an integer would round them).
        return clampedReal(value.toDouble());
    }
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray) {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (ok) {
            return int(std::clamp<qlonglong>(number, INT_MIN, INT_MAX));
        }
        const double real = value.toDouble(&ok);
        return ok ? clampedReal(real) : 0;
    }
    const QString text = value.toString();
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 number = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
         ++i) {
        number = std::min<qint64>(number * 10 + (text.at(i).unicode() - '0'), qint64(INT_MAX) + 1);
    }
    number = negative ? -number : number;
    return int(std::clamp<qint64>(number, INT_MIN, INT_MAX));
}

} // namespace quillet
