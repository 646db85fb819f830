// The diary settings on a settings file of their own, with a font lookup that
// records what it is asked instead of searching the installed fonts.
#include "TestSupport.h"

#include "core/UserDefaults.h"
#include "diary/DiarySettings.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::LogCapture;

struct Asked {
    QString name;
    double size = 0;
};

TEST(DiarySettings, TheEditorFontAskedForIsTheStoredOneWithTheFallbacks) {
    UserDefaults defaults(test::makeTempDir() + QStringLiteral("/settings.conf"));
    UserDefaults standard(test::makeTempDir() + QStringLiteral("/standard.conf"));
    DiarySettings settings(defaults, standard);
    {
        LogCapture log;
        EXPECT_FALSE(settings.currentFont().has_value()) << "no lookup given, no font";
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("null currentFontName")});
    }

    std::vector<Asked> asked;
    settings.setFontLookup([&asked](const QString& name, double size) -> std::optional<QFont> {
        asked.push_back({name, size});
        return std::nullopt;
    });
    const auto lastAsked = [&] {
        return asked.empty()
                   ? QStringLiteral("nothing")
                   : QStringLiteral("%1 %2").arg(asked.back().name).arg(asked.back().size);
    };

    // Fresh settings: the name falls back with its log line, the size without one.
    settings.currentFont();
    EXPECT_EQ(lastAsked(), QStringLiteral("Helvetica 30"));

    defaults.setObject(QStringLiteral("DejaVu Serif-Bold"), QStringLiteral("currentFontName"));
    {
        LogCapture log;
        settings.currentFont();
        EXPECT_EQ(lastAsked(), QStringLiteral("DejaVu Serif-Bold 30"));
        EXPECT_TRUE(log.lines().isEmpty());
    }
    defaults.setFloat(11.5f, QStringLiteral("currentFontSize"));
    {
        LogCapture log;
        settings.currentFont();
        EXPECT_EQ(lastAsked(), QStringLiteral("DejaVu Serif-Bold 12"));
        EXPECT_EQ(log.lines(), QStringList{QStringLiteral("currentFontSize less then 12")});
    }
    defaults.setFloat(17.25f, QStringLiteral("currentFontSize"));
    settings.currentFont();
    EXPECT_EQ(lastAsked(), QStringLiteral("DejaVu Serif-Bold 17.25"));
    // A stored 0 is no size at all, not a size below 12.
    defaults.setFloat(0.0f, QStringLiteral("currentFontSize"));
    {
        LogCapture log;
        settings.currentFont();
        EXPECT_EQ(lastAsked(), QStringLiteral("DejaVu Serif-Bold 30"));
        EXPECT_TRUE(log.lines().isEmpty());
    }
    EXPECT_EQ(asked.size(), 5u) << "one lookup per question, nothing remembered";
    EXPECT_TRUE(standard.allKeys().isEmpty());
}

} // namespace
} // namespace quillet
