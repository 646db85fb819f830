#include "core/SpellChecker.h"
#include "TestSupport.h"
#include "core/SpellWords.h"

#include <QFile>
#include <QSignalSpy>
#include <cstdlib>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// Against the installed en_US dictionary (hunspell-en-us), with Enchant's
// personal dictionaries in a folder of the test's own.
class SpellCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        configDir = test::makeTempDir();
        setenv("ENCHANT_CONFIG_DIR", QFile::encodeName(configDir).constData(), 1);
        if (!checker.languages().contains(QStringLiteral("en_US"))) {
            GTEST_SKIP() << "no en_US dictionary installed";
        }
        ASSERT_TRUE(checker.setLanguage(QStringLiteral("en_US")));
    }
    QString configDir;
    SpellChecker checker;
};

TEST_F(SpellCheckerTest, KnownAndUnknownWordsAndSuggestions) {
    for (const auto* word : {"walked", "river", "don't", "The"}) {
        EXPECT_TRUE(checker.check(QString::fromUtf8(word))) << word;
    }
    for (const auto* word : {"wrng", "Ths", "qzxv"}) {
        EXPECT_FALSE(checker.check(QString::fromUtf8(word))) << word;
    }
    const QStringList some = checker.suggestions(QStringLiteral("wrng"), 6);
    EXPECT_TRUE(some.contains(QStringLiteral("wrong"))) << some.join(u',').toStdString();
    EXPECT_LE(some.size(), 6);
    EXPECT_EQ(checker.suggestions(QStringLiteral("wrng"), 1).size(), 1);
}

TEST_F(SpellCheckerTest, AddedWordsLastInThePersonalDictionaryIgnoredOnesOnlyThisRun) {
    QSignalSpy changed(&checker, &SpellChecker::changed);
    checker.addToDictionary(QStringLiteral("Quilletish"));
    checker.ignore(QStringLiteral("Wrenfoldy"));
    EXPECT_EQ(changed.size(), 2);
    EXPECT_TRUE(checker.check(QStringLiteral("Quilletish")));
    EXPECT_TRUE(checker.check(QStringLiteral("Wrenfoldy")));
    EXPECT_TRUE(QFile::exists(configDir + QStringLiteral("/en_US.dic")));

    SpellChecker later;
    ASSERT_TRUE(later.setLanguage(QStringLiteral("en_US")));
    EXPECT_TRUE(later.check(QStringLiteral("Quilletish")));
    EXPECT_FALSE(later.check(QStringLiteral("Wrenfoldy")));
}

TEST_F(SpellCheckerTest, ALanguageLoadedBesideTheMainThreadIsInUseOnceChangedIsSignalled) {
    QSignalSpy changed(&checker, &SpellChecker::changed);
    checker.loadLanguageInBackground(QStringLiteral("de_DE"));
    if (!checker.languages().contains(QStringLiteral("de_DE"))) {
        GTEST_SKIP() << "no de_DE dictionary installed";
    }
    EXPECT_EQ(checker.language(), QStringLiteral("en_US"));
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(checker.language(), QStringLiteral("de_DE"));
    EXPECT_TRUE(checker.check(QStringLiteral("Stra\u00dfe")));
    EXPECT_FALSE(checker.check(QStringLiteral("wrong")));

    // A choice made meanwhile wins over a load still under way.
    checker.loadLanguageInBackground(QStringLiteral("en_US"));
    checker.setLanguage(QStringLiteral("de_DE"));
    changed.clear();
    EXPECT_FALSE(changed.wait(300));
    EXPECT_EQ(checker.language(), QStringLiteral("de_DE"));
}

TEST_F(SpellCheckerTest, OffOrWithoutSuchADictionaryEveryWordIsKnown) {
    EXPECT_FALSE(checker.setLanguage(QStringLiteral("xx_YY")));
    EXPECT_FALSE(checker.isActive());
    EXPECT_TRUE(checker.check(QStringLiteral("wrng")));
    EXPECT_TRUE(checker.suggestions(QStringLiteral("wrng"), 6).isEmpty());
}

TEST(SpellCheckerLanguage, TheLocalesLanguageAndRegionThenTheLanguageThenNone) {
    const QStringList installed = {QStringLiteral("de_DE"), QStringLiteral("en_GB"),
                                   QStringLiteral("en_US")};
    const struct {
        const char* locale;
        const char* chosen;
    } cases[] = {{"en_US.UTF-8", "en_US"},
                 {"en_GB", "en_GB"},
                 {"en_AU.UTF-8", "en_GB"},
                 {"de_AT@euro", "de_DE"},
                 {"fr_FR.UTF-8", ""},
                 {"C", ""},
                 {"", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(SpellChecker::preferredLanguage(installed, QString::fromUtf8(c.locale)),
                  QString::fromUtf8(c.chosen))
            << c.locale;
    }
}

TEST(SpellWords, AddressesNumbersAndAcronymsAreNoWordsToCheck) {
    const struct {
        const char* text;
        const char* words;
    } cases[] = {
        {"Ths is wrng.", "Ths|is|wrng"},
        {"don't  caf\u00e9, (quiet)", "don't|caf\u00e9|quiet"},
        {"see https://exampel.org/pagge or www.exampel.com now", "see|or|now"},
        {"mail me at jon.doe@exampel.org, Jon", "mail|me|at|Jon"},
        {"NASA and 42nd 3.14 x2 I", "and|I"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        QStringList found;
        for (const SpellWords::Range& r : SpellWords::checkable(text)) {
            found << text.mid(r.start, r.length);
        }
        EXPECT_EQ(found.join(u'|'), QString::fromUtf8(c.words)) << c.text;
    }
    // An unbroken run of letters as long as a pasted blob is no word.
    EXPECT_TRUE(SpellWords::checkable(QString(5000, u'a')).empty());
}

} // namespace
} // namespace quillet
