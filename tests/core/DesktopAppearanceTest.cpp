#include "core/DesktopAppearance.h"

#include <QDBusVariant>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using Scheme = DesktopAppearance::PortalScheme;

TEST(DesktopAppearance, ThePortalDecidesWhenItPrefersAndThePaletteOtherwise) {
    struct Case {
        int window, text;
        std::optional<Scheme> portal;
        bool dark;
    };
    const Case cases[] = {
        {239, 35, std::nullopt, false},        // Breeze
        {49, 239, std::nullopt, true},         // Breeze Dark
        {49, 239, Scheme::NoPreference, true}, // a portal without a preference
        {239, 35, Scheme::PreferDark, true},   // GNOME's "prefer dark", Qt's palette light
        {49, 239, Scheme::PreferLight, false}, // the portal wins either way
        {128, 128, std::nullopt, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopAppearance::prefersDark(c.window, c.text, c.portal), c.dark)
            << c.window << " " << c.text;
    }
}

TEST(DesktopAppearance, ReadsThePortalsReplyInItsVariants) {
    const QVariant one = QVariant::fromValue(QDBusVariant(QVariant(uint(1))));
    struct Case {
        QVariant reply;
        std::optional<Scheme> scheme;
    };
    const Case cases[] = {
        {QVariant(uint(1)), Scheme::PreferDark},                      // ReadOne
        {one, Scheme::PreferDark},                                    // the signal
        {QVariant::fromValue(QDBusVariant(one)), Scheme::PreferDark}, // Read: two deep
        {QVariant(uint(2)), Scheme::PreferLight},
        {QVariant(uint(0)), Scheme::NoPreference},
        {QVariant(uint(7)), std::nullopt},
        {QVariant(-1), std::nullopt},
        {QVariant(QStringLiteral("1")), std::nullopt},
        {QVariant(), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopAppearance::schemeFromReply(c.reply), c.scheme) << c.reply.typeName();
    }
}

} // namespace
} // namespace quillet
