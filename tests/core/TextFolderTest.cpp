#include "core/TextFolder.h"

#include <gtest/gtest.h>

#include <QString>

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

TEST(TextFolder, ContainsSearchesFoldedBytes) {
    const std::string haystack = fold("Café au lait, Été à Paris");
    EXPECT_TRUE(TextFolder::contains(haystack, fold("CAFE")));
    EXPECT_TRUE(TextFolder::contains(haystack, fold("ete a paris")));
    EXPECT_FALSE(TextFolder::contains(haystack, fold("tea")));
    EXPECT_FALSE(TextFolder::contains(haystack, fold("café au laits")));

    EXPECT_TRUE(TextFolder::contains(haystack, ""));
    EXPECT_TRUE(TextFolder::contains("", ""));
    EXPECT_FALSE(TextFolder::contains("", "a"));
    EXPECT_TRUE(TextFolder::contains(haystack, fold("")));
}

} // namespace
} // namespace quillet
