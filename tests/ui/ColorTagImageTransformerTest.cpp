#include "TestSupport.h"

#include "core/Bundle.h"
#include "diary/Utility.h"
#include "ui/appearance/ColorTagImageTransformer.h"
#include "ui/appearance/ImageLibrary.h"

#include <gtest/gtest.h>

#include <QPixmap>

using namespace quillet;

namespace {

QVariant transform(const char* name, const QVariant& value) {
    ColorTagImageTransformer::registerClasses(Utility::sharedUtility());
    const auto transformer = ValueTransformer::valueTransformerForName(QString::fromLatin1(name));
    EXPECT_NE(transformer, nullptr) << name;
    return transformer ? transformer->transformedValue(value) : QVariant();
}

bool sameImage(const QVariant& value, const QString& name) {
    const QPixmap expected = ImageLibrary::imageNamed(name);
    return !expected.isNull() && value.canConvert<QPixmap>() &&
           value.value<QPixmap>().toImage() == expected.toImage();
}

} // namespace

// Made by name once registered (kept as the registry keeps any: ValueTransformerRegistry).
TEST(TagTransformers, NameTheImagesAndColorsOfTheTheme) {
    {
        test::ScopedBundleName basic(QStringLiteral("Quillet2"));
        EXPECT_TRUE(sameImage(transform("ColorTagToCellTagImageTransformer", 3),
                              QStringLiteral("basic_cell_3.png")));
        EXPECT_TRUE(sameImage(transform("ColorTagToBackImageTransformer", QStringLiteral("2")),
                              QStringLiteral("basic_back_desk_2.png")));
        EXPECT_TRUE(sameImage(transform("ColorTagToFootImageTransformer", QVariant()),
                              QStringLiteral("basic_foot_0.png")));
        EXPECT_TRUE(sameImage(transform("ColorTagToTrashImageTransformer", 5),
                              QStringLiteral("basic_trash_5.png")));
        EXPECT_FALSE(transform("ColorTagToCellTagImageTransformer", 7).isValid());
        EXPECT_FALSE(transform("ColorTagToCellTagImageTransformer", -1).isValid());
    }
    {
        test::ScopedBundleName eco(QStringLiteral("Wrenfold"));
        EXPECT_TRUE(sameImage(transform("ColorTagToCellTagImageTransformer", 3),
                              QStringLiteral("eco_cell_3.png")));
        EXPECT_TRUE(sameImage(transform("ColorTagToFootImageTransformer", 1),
                              QStringLiteral("eco_foot_1.png")));
    }
}
