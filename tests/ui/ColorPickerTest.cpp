#include "TestSupport.h"

#include "core/Bundle.h"
#include "diary/Utility.h"
#include "ui/appearance/ColorPickerButton.h"
#include "ui/appearance/ColorPickerController.h"
#include "ui/appearance/ImageLibrary.h"
#include "ui/appearance/ThemeColorPickerController.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

using namespace quillet;

namespace {

struct Picks {
    std::vector<int> tags;
    std::vector<ColorPickerController*> folded;

    ColorPickerDelegate delegate() {
        ColorPickerDelegate d;
        d.colorPicked = [this](const QVariant& tag) { tags.push_back(tag.toInt()); };
        d.pickerFolded = [this](ColorPickerController* picker) { folded.push_back(picker); };
        return d;
    }
};

std::vector<qreal> alphas(const ColorPickerController& picker) {
    std::vector<qreal> values;
    for (int tag = 0; tag < 6; ++tag) {
        values.push_back(picker.buttonForTag(tag)->alphaValue());
    }
    return values;
}

QImage image(const QString& name) {
    return ImageLibrary::imageNamed(name).toImage();
}

// Which tag each button shows highlighted (true) or plain (false); any other image fails.
std::vector<bool> highlighted(const ColorPickerController& picker, const QString& theme) {
    std::vector<bool> marks;
    for (int tag = 0; tag < 6; ++tag) {
        const QImage shown = picker.buttonForTag(tag)->image().toImage();
        const bool high = shown == image(QStringLiteral("%1_pick_high_%2.png").arg(theme).arg(tag));
        const bool plain = shown == image(QStringLiteral("%1_pick_%2.png").arg(theme).arg(tag));
        EXPECT_TRUE(high || plain) << "button " << tag << " shows neither of its images";
        marks.push_back(high);
    }
    return marks;
}

const std::vector<qreal> kAllDimmed(6, 0.5);

} // namespace

TEST(ColorPickerController, DimsAllButTheSelectedTagAndReportsEveryPick) {
    ColorPickerController picker(Utility::sharedUtility());
    Picks picks;
    picker.setDelegate(picks.delegate());
    EXPECT_EQ(picker.getSelID(), 0);
    EXPECT_EQ(alphas(picker), std::vector<qreal>(6, 1.0)); // nothing marked yet

    picker.setSelID(2);
    EXPECT_EQ(alphas(picker), (std::vector<qreal>{0.5, 0.5, 1.0, 0.5, 0.5, 0.5}));
    EXPECT_TRUE(picks.tags.empty()); // shown, not reported

    picker.greenButton->click();
    EXPECT_EQ(picker.getSelID(), 4);
    EXPECT_EQ(alphas(picker), (std::vector<qreal>{0.5, 0.5, 0.5, 0.5, 1.0, 0.5}));
    // The same button again: reported again.
    picker.greenButton->click();
    EXPECT_EQ(picks.tags, (std::vector<int>{4, 4}));

    // A stored tag that no button shows: picking it reports it but leaves the buttons as they are.
    picker.setSelectedEmotionID(3);
    picker.setSelIDfromTab(3);
    EXPECT_EQ(picks.tags.back(), 3);
    EXPECT_EQ(alphas(picker), (std::vector<qreal>{0.5, 0.5, 0.5, 0.5, 1.0, 0.5}));

    for (int outside : {6, -1}) {
        picker.setSelID(outside);
        EXPECT_EQ(picker.getSelID(), outside);
        EXPECT_EQ(picker.selectedEmotionID(), outside);
        EXPECT_EQ(alphas(picker), kAllDimmed);
    }
    picker.setSelIDfromTab(9);
    EXPECT_EQ(picks.tags.back(), 9); // reported unchanged

    picker.hideView(nullptr);
    EXPECT_EQ(picks.folded, std::vector<ColorPickerController*>{&picker});

    // Button order follows the tags: gray, red, orange, yellow, green, blue.
    const std::vector<ColorPickerButton*> buttons{picker.grayButton,   picker.redButton,
                                                  picker.orangeButton, picker.yellowButton,
                                                  picker.greenButton,  picker.blueButton};
    for (int tag = 0; tag < 6; ++tag) {
        buttons[std::size_t(tag)]->click();
        EXPECT_EQ(picks.tags.back(), tag);
    }
}

TEST(ColorPickerController, CallsOnlyWhatTheDelegateImplements) {
    ColorPickerController picker(Utility::sharedUtility());
    picker.setSelIDfromTab(1); // no delegate at all
    picker.hideView(nullptr);
    Picks picks;
    ColorPickerDelegate onlyPicks;
    onlyPicks.colorPicked = picks.delegate().colorPicked;
    picker.setDelegate(onlyPicks);
    picker.hideView(nullptr);
    picker.setSelIDfromTab(5);
    EXPECT_EQ(picks.tags, std::vector<int>{5});
    EXPECT_TRUE(picks.folded.empty());
    EXPECT_EQ(picker.getSelID(), 5);
}

TEST(ThemeColorPickerController, SwapsThemeImagesAndRedrawsOnEveryPick) {
    test::ScopedBundleName basic(QStringLiteral("Quillet2"));
    ThemeColorPickerController picker(Utility::sharedUtility());
    Picks picks;
    picker.setDelegate(picks.delegate());
    EXPECT_EQ(highlighted(picker, QStringLiteral("basic")), std::vector<bool>(6, false));

    picker.setSelID(1);
    EXPECT_EQ(highlighted(picker, QStringLiteral("basic")),
              (std::vector<bool>{false, true, false, false, false, false}));
    for (int tag = 0; tag < 6; ++tag) {
        // Pressed looks like resting: only the highlight marks the pick.
        const ColorPickerButton* button = picker.buttonForTag(tag);
        EXPECT_EQ(button->alternateImage().toImage(), button->image().toImage()) << tag;
        EXPECT_EQ(button->alphaValue(), 1.0) << tag;
    }

    // The same tag again redraws every button (here: repairs a tampered one) and reports.
    picker.redButton->setImage(QPixmap());
    picker.blueButton->setImage(QPixmap());
    picker.setSelIDfromTab(1);
    EXPECT_EQ(highlighted(picker, QStringLiteral("basic")),
              (std::vector<bool>{false, true, false, false, false, false}));
    EXPECT_EQ(picks.tags, std::vector<int>{1});

    picker.setSelID(-1);
    EXPECT_EQ(highlighted(picker, QStringLiteral("basic")), std::vector<bool>(6, false));
    EXPECT_EQ(picker.getSelID(), -1);

    test::ScopedBundleName eco(QStringLiteral("Wrenfold"));
    picker.yellowButton->click();
    EXPECT_EQ(highlighted(picker, QStringLiteral("eco")),
              (std::vector<bool>{false, false, false, true, false, false}));
    EXPECT_EQ(picks.tags.back(), 3);
}

TEST(ThemeColorPickerController, DrawsTheLeafPatternBehindTheButtons) {
    test::ScopedBundleName basic(QStringLiteral("Quillet2"));
    ThemeColorPickerController picker(Utility::sharedUtility());
    picker.resize(700, 260);
    const QImage drawn = picker.grab().toImage();
    const QImage pattern =
        image(QStringLiteral("eco_pick_back.png")).convertToFormat(drawn.format());
    ASSERT_EQ(pattern.size(), QSize(321, 219));
    // Outside the buttons the picker is the pattern, tiled from its top-left corner.
    for (const QPoint p :
         {QPoint(3, 3), QPoint(300, 200), QPoint(321 + 5, 219 + 7), QPoint(650, 240)}) {
        EXPECT_EQ(drawn.pixel(p), pattern.pixel(p.x() % 321, p.y() % 219)) << p.x() << "," << p.y();
    }
}
