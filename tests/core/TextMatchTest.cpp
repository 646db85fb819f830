#include "core/TextMatch.h"
#include "core/TextFolder.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

std::string folded(const char* search) {
    return TextFolder::fold(QString::fromUtf8(search));
}

TEST(TextMatch, SnippetMarksTheFirstMatchInTheOriginal) {
    const QString longText = u"word "_qs.repeated(30000) + u"Ünïcode near the end"_qs;
    struct Case {
        QString text;
        const char* search;
        QString snippet; // the match in brackets
    };
    const Case cases[] = {
        {u"Un Été à Paris"_qs, "ete", u"Un [Été] à Paris"_qs},
        {u"STRASSE und Straße"_qs, "straße", u"[STRASSE] und Straße"_qs},
        {u"das war die Straße hier"_qs, "STRASSE", u"das war die [Straße] hier"_qs},
        {u"Crème bru\u0302le\u0301e"_qs, "brulee", u"Crème [bru\u0302le\u0301e]"_qs},
        {u"one two three four five six needle"_qs, "NEEDLE", u"…four five six [needle]"_qs},
        {u"first line\nwith a needle"_qs, "needle", u"with a [needle]"_qs},
        {u"Needle at the start"_qs, "needle", u"[Needle] at the start"_qs},
        {u"ends with the needle"_qs, "needle", u"ends with the [needle]"_qs},
        {u"a\ttab, break needle"_qs, "break needle", u"a tab, [break needle]"_qs},
        {u"ﬁle and 😀 İstanbul"_qs, "istanbul", u"ﬁle and 😀 [İstanbul]"_qs},
        {longText, "unicode", u"…word word word [Ünïcode] near the end"_qs},
        {u"nothing here"_qs, "absent", QString()},
    };
    for (const Case& c : cases) {
        const TextMatch::Snippet s = TextMatch::snippet(c.text, folded(c.search));
        QString marked = s.text;
        if (s.matchStart >= 0) {
            marked.insert(s.matchStart + s.matchLength, u']').insert(s.matchStart, u'[');
        }
        EXPECT_EQ(marked.left(200).toStdString(), c.snippet.toStdString());
    }
}

TEST(TextMatch, NextPreviousAndAllAgree) {
    // Matches on both sides of a window's edge, several windows apart.
    QString text = QString(u'x').repeated(65530) + u"ÉTÉ"_qs + QString(u'y').repeated(200000) +
                   u"e\u0301te\u0301 été"_qs;
    const std::string needle = folded("ete");
    const std::vector<TextMatch::Span> expected = {{65530, 3}, {265533, 5}, {265539, 3}};
    EXPECT_EQ(TextMatch::all(text, needle), expected);
    std::vector<TextMatch::Span> forward;
    for (TextMatch::Span s = TextMatch::next(text, needle, 0); s.found();
         s = TextMatch::next(text, needle, s.start + 1)) {
        forward.push_back(s);
    }
    EXPECT_EQ(forward, expected);
    std::vector<TextMatch::Span> backward;
    for (TextMatch::Span s = TextMatch::previous(text, needle, text.size()); s.found();
         s = TextMatch::previous(text, needle, s.start)) {
        backward.insert(backward.begin(), s);
    }
    EXPECT_EQ(backward, expected);
    EXPECT_FALSE(TextMatch::next(text, needle, 265540).found());
    EXPECT_FALSE(TextMatch::previous(text, needle, 65530).found());
    EXPECT_FALSE(TextMatch::next(u"", needle, 0).found());
}

} // namespace
} // namespace quillet
