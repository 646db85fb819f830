#include "DiaryHome.h"
#include "diary/Utility.h"
#include "diary/import/OldDataImporter.h"
#include "ui/appearance/AppearanceWatcher.h"
#include "ui/appearance/ImageLibrary.h"
#include "ui/appearance/ThemeStyle.h"
#include "ui/settings/SettingWindowController.h"

#include <QApplication>
#include <QLabel>
#include <cmath>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// WCAG 2 contrast of two colours: 1 (same) to 21 (black on white).
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor averageOf(const QPixmap& pixmap) {
    return QColor(
        pixmap.toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
}

QColor headingColor(const SettingWindowController& window) {
    auto* heading = window.findChild<QLabel*>(QStringLiteral("paneTitle"));
    heading->ensurePolished();
    return heading->palette().color(QPalette::WindowText);
}

TEST(DarkAppearance, TheEditorAndTheSettingsHeadingsReadInEitherLook) {
    test::ScopedDiaryHome home;
    Utility* utility = Utility::sharedUtility();
    for (const QString& theme : {QStringLiteral("basic"), QStringLiteral("eco")}) {
        for (const bool dark : {false, true}) {
            const QString back = QStringLiteral("%1%2_back_desk_0.png")
                                     .arg(dark ? QStringLiteral("dark_") : QString(), theme);
            const QColor paper = averageOf(ImageLibrary::imageNamed(back));
            const QColor ink = ThemeStyle::inkColor(theme, dark);
            EXPECT_GE(contrast(ink, paper), 4.5) << back.toStdString();
            EXPECT_GE(contrast(ThemeStyle::mutedInkColor(theme, dark),
                               ThemeStyle::paperColor(theme, dark)),
                      dark ? 4.5 : 3.0)
                << theme.toStdString();
            EXPECT_EQ(dark, paper.lightness() < 128) << back.toStdString();
        }
    }

    // A dark desktop palette, set while the settings window is open.
    const QPalette before = QApplication::palette();
    AppearanceWatcher watcher(utility, false);
    SettingWindowController window(utility, OldDataImporter::sharedImporter());
    ASSERT_FALSE(utility->isDarkAppearance());
    const QColor lightHeading = headingColor(window);
    QApplication::setPalette(AppearanceWatcher::darkPalette());
    EXPECT_TRUE(utility->isDarkAppearance());
    EXPECT_EQ(utility->themeCellImageName(), QStringLiteral("dark_basic_cell_%i.png"));
    const QColor darkHeading = headingColor(window);
    EXPECT_NE(darkHeading, lightHeading);
    window.ensurePolished();
    EXPECT_GE(contrast(darkHeading, window.palette().color(QPalette::Window)), 4.5);
    QApplication::setPalette(before);
    EXPECT_FALSE(utility->isDarkAppearance());
    EXPECT_EQ(headingColor(window), lightHeading);
}

} // namespace
} // namespace quillet
