// Date texts with a locale of their own rather than the user's.
#include "TestSupport.h"

#include "diary/DateTexts.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(DateTexts, TheGivenLocaleRulesPatternsTimesAndMonthNames) {
    test::ScopedTimeZone tz("Europe/Berlin");
    DateTexts texts(QStringLiteral("de_DE"));
    const QDateTime date(QDate(2012, 3, 5), QTime(9, 5));
    EXPECT_EQ(texts.stringWithDateFormat(QStringLiteral("d. MMMM"), date),
              QStringLiteral("5. März"));
    EXPECT_EQ(texts.stringOfTimeWithSystemFormat(date), QStringLiteral("09:05"));
    // The pattern is still in force after a time was formatted, and the
    // time style after a new pattern.
    EXPECT_EQ(texts.stringWithDateFormat(QStringLiteral("yyyyMMdd"), date),
              QStringLiteral("20120305"));
    EXPECT_EQ(texts.stringOfTimeWithSystemFormat(date), QStringLiteral("09:05"));
    EXPECT_EQ(texts.dateFormatter()->dateFormat(), QStringLiteral("yyyyMMdd"));
    EXPECT_EQ(texts.standaloneMonthSymbols().value(0), QStringLiteral("Januar"));
}

TEST(DateTexts, MonthTagsAreNumbersWhateverDigitsTheLocaleWrites) {
    test::ScopedTimeZone tz("Africa/Cairo");
    DateTexts texts(QStringLiteral("ar_EG"));
    const QDateTime date(QDate(2012, 3, 5), QTime(9, 5));
    const QString written = texts.stringWithDateFormat(QStringLiteral("yyyyMM"), date);
    ASSERT_NE(written, QStringLiteral("201203")) << "the locale writes its own digits";
    EXPECT_EQ(texts.monthTagForDate(date), 201203);
}

} // namespace
} // namespace quillet
