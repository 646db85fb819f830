#include "core/TextFolder.h"

#include <gtest/gtest.h>

#include <QString>

#include <random>
#include <string>

namespace quillet {
namespace {

std::string fold(const char* utf8) {
    return TextFolder::fold(QString::fromUtf8(utf8));
}

bool foldedContains(const char* haystack, const char* needle) {
    return TextFolder::contains(fold(haystack), fold(needle));
}

TEST(TextFolder, FoldsCaseAndAccents) {
    EXPECT_EQ(fold("été"), "ete");
    EXPECT_EQ(fold("ETE"), "ete");
    EXPECT_EQ(fold("Été"), "ete");
    EXPECT_EQ(fold("Straße"), "strasse");
    EXPECT_EQ(fold("STRASSE"), "strasse");
    EXPECT_EQ(fold("ﬁle"), "file");
    EXPECT_EQ(fold("ﬁ"), "fi");

    // The dot of the capital İ comes out of case folding as a mark of its own.
    EXPECT_EQ(fold("İstanbul"), "istanbul");
    EXPECT_TRUE(foldedContains("İstanbul", "istanbul"));
    EXPECT_TRUE(foldedContains("istanbul", "İSTANBUL"));

    // Marks typed separately fold like the precomposed letters.
    EXPECT_EQ(fold("e\u0301te\u0301"), fold("été"));
    EXPECT_EQ(fold("E\u0301TE\u0301"), "ete");
    EXPECT_EQ(fold("a\u0323\u0302"), fold("ậ"));
    EXPECT_EQ(fold("\u0301leading mark"), "leading mark");

    // Final and capital sigma fold alike; the tonos goes.
    EXPECT_EQ(fold("ΣΊΣΥΦΟΣ"), "σισυφοσ");
    EXPECT_EQ(fold("σισυφος"), "σισυφοσ");
    EXPECT_TRUE(foldedContains("ΣΊΣΥΦΟΣ", "σισυφος"));
    EXPECT_TRUE(foldedContains("ο Σίσυφος", "ΣΙΣΥΦΟΣ"));
}

TEST(TextFolder, LeavesOtherTextAsItStands) {
    EXPECT_EQ(fold(""), "");
    EXPECT_EQ(fold("plain words, 42!"), "plain words, 42!");
    EXPECT_EQ(fold("Hello World"), "hello world");
    EXPECT_EQ(fold("Crème BRÛLÉE — “Quoted” …"), "creme brulee — “quoted” …");
    EXPECT_EQ(fold("日本語のテキスト"), "日本語のテキスト");
    // Hangul comes back composed, so a syllable is not found inside a longer one.
    EXPECT_EQ(fold("한국어"), "한국어");
    EXPECT_FALSE(foldedContains("각", "가"));
    // Outside the basic plane: an emoji stays, a Deseret capital folds to its small letter.
    EXPECT_EQ(fold("smile 😀"), "smile 😀");
    EXPECT_EQ(TextFolder::fold(QString::fromUcs4(U"\U00010400")),
              QString::fromUcs4(U"\U00010428").toStdString());
    // A lone surrogate becomes a replacement character instead of broken UTF-8.
    const QChar lone[] = {QChar(u'A'), QChar(char16_t(0xD800)), QChar(u'b')};
    EXPECT_EQ(TextFolder::fold(QStringView(lone, 3)), "a\uFFFDb");
}

TEST(TextFolder, ContainsFindsWhatAPlainSearchFindsAtEveryPosition) {
    std::mt19937 random(11);
    const std::string alphabet = "abcab\xc3\xa9 \xe2\x80\x9c";
    int found = 0;
    for (int round = 0; round < 40000; ++round) {
        std::string haystack(random() % 200, ' ');
        for (char& c : haystack) {
            c = alphabet[random() % alphabet.size()];
        }
        std::string needle(1 + random() % 6, ' ');
        if (random() % 3 == 0 && haystack.size() >= needle.size()) {
            // Often a piece of the haystack itself, at its start, middle or very end.
            needle =
                haystack.substr(random() % (haystack.size() - needle.size() + 1), needle.size());
        } else {
            for (char& c : needle) {
                c = alphabet[random() % alphabet.size()];
            }
        }
        const bool expected = haystack.find(needle) != std::string::npos;
        found += expected;
        ASSERT_EQ(TextFolder::contains(haystack, needle), expected) << haystack << " / " << needle;
    }
    EXPECT_GT(found, 10000);
    const std::string longText = std::string(1000, 'a') + "needle";
    EXPECT_TRUE(TextFolder::contains(longText, "aneedle"));
    EXPECT_FALSE(TextFolder::contains(longText, "needles"));
    EXPECT_TRUE(TextFolder::contains(longText, ""));
    EXPECT_FALSE(TextFolder::contains("", "a"));
    EXPECT_TRUE(TextFolder::contains("", ""));
}

} // namespace
} // namespace quillet
