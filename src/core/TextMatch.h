#pragma once

#include <QString>
#include <QStringView>

#include <string_view>
#include <vector>

namespace quillet {

// Where a search is found in a text as written. The search compares folded
// texts (see TextFolder), whose offsets do not line up with the original, so
// the text is folded a character at a time here with the place each folded
// byte came from. Long texts are looked through in windows: a match costs
// the text up to it, never the whole of a long one.
namespace TextMatch {

struct Span {
    qsizetype start = -1;
    qsizetype length = 0;
    bool found() const { return start >= 0; }
    bool operator==(const Span&) const = default;
};

// The first match that starts at or after from; foldedNeedle comes from
// TextFolder::fold and is never empty.
Span next(QStringView text, std::string_view foldedNeedle, qsizetype from);
// The last match that starts before `before`.
Span previous(QStringView text, std::string_view foldedNeedle, qsizetype before);
// Every match inside text (a part of a longer one, such as what a window shows).
std::vector<Span> all(QStringView text, std::string_view foldedNeedle);

// The part of a text a list row shows for a search: a few words before the
// first match (an ellipsis when that is not the text's start), the match and
// what follows, on one line. matchStart is -1 when the search is not found.
struct Snippet {
    QString text;
    qsizetype matchStart = -1;
    qsizetype matchLength = 0;
};
Snippet snippet(QStringView text, std::string_view foldedNeedle);

} // namespace TextMatch
} // namespace quillet
