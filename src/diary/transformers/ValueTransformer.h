#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace quillet {

// Turns a bound value into what a view shows (a date into its day number, a
// color tag into its image). Views find transformers by name: the stateless
// ones are made on first request from their class name, the ones that need a
// live object are registered at launch.
class ValueTransformer {
public:
    virtual ~ValueTransformer();

    virtual QVariant transformedValue(const QVariant& value) const = 0;

    // Registers under a name, replacing any earlier one; a null transformer
    // removes the name.
    static void setValueTransformer(std::shared_ptr<ValueTransformer> transformer,
                                    const QString& name);
    // The registered transformer, else a new one of the stateless class of
    // that name (then kept), else null.
    static std::shared_ptr<ValueTransformer> valueTransformerForName(const QString& name);
    // Adds a stateless class that valueTransformerForName makes on first
    // request. The view layer adds the transformers that turn tags into images.
    using Factory = std::function<std::shared_ptr<ValueTransformer>()>;
    static void setValueTransformerClass(const QString& name, Factory factory);

    // The integer a bound value stands for, read the way a text field's value
    // is read: numbers as they are, text by its leading sign and digits
    // ("12abc" is 12, "abc" is 0); no value is 0.
    static int intValue(const QVariant& value);
};

} // namespace quillet
