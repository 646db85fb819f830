#include "core/SpellWords.h"

#include <QString>
#include <QTextBoundaryFinder>

namespace quillet::SpellWords {

namespace {

bool isAddress(QStringView token) {
    if (token.contains(u"://") || token.startsWith(u"www.", Qt::CaseInsensitive)) {
        return true;
    }
    const qsizetype at = token.indexOf(u'@');
    return at > 0 && token.indexOf(u'.', at) > at + 1;
}

bool isCheckable(QStringView word) {
    if (word.size() > kLongestWord) {
        return false;
    }
    bool letter = false;
    bool lower = false;
    for (const QChar c : word) {
        if (c.isDigit()) {
            return false;
        }
        letter = letter || c.isLetter();
        lower = lower || c.isLower();
    }
    // "NASA" is not marked, "I" and "A" are checked as words.
    return letter && (lower || word.size() == 1);
}

} // namespace

std::vector<Range> checkable(QStringView text) {
    std::vector<Range> words;
    qsizetype tokenStart = 0;
    while (tokenStart < text.size()) {
        while (tokenStart < text.size() && text[tokenStart].isSpace()) {
            ++tokenStart;
        }
        qsizetype tokenEnd = tokenStart;
        while (tokenEnd < text.size() && !text[tokenEnd].isSpace()) {
            ++tokenEnd;
        }
        const QStringView token = text.sliced(tokenStart, tokenEnd - tokenStart);
        if (!token.isEmpty() && !isAddress(token)) {
            QTextBoundaryFinder finder(QTextBoundaryFinder::Word, token.data(), int(token.size()));
            qsizetype start = -1;
            for (qsizetype at = 0; at >= 0 && at <= token.size(); at = finder.toNextBoundary()) {
                const auto reasons = finder.boundaryReasons();
                if (start >= 0 && (reasons & QTextBoundaryFinder::EndOfItem)) {
                    const QStringView word = token.sliced(start, at - start);
                    if (isCheckable(word)) {
                        words.push_back({tokenStart + start, at - start});
                    }
                    start = -1;
                }
                if (reasons & QTextBoundaryFinder::StartOfItem) {
                    start = at;
                }
            }
        }
        tokenStart = tokenEnd;
    }
    return words;
}

} // namespace quillet::SpellWords
