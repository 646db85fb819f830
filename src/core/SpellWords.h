#pragma once

#include <QStringView>
#include <vector>

namespace quillet {

// The words of a text a spell checker should look at: Unicode word
// boundaries, less the words of web and mail addresses, words with a digit,
// all-caps words (acronyms) and words too long to be any language's.
namespace SpellWords {

struct Range {
    qsizetype start;
    qsizetype length;
};

constexpr qsizetype kLongestWord = 64;

std::vector<Range> checkable(QStringView text);

} // namespace SpellWords
} // namespace quillet
