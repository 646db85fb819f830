#include "core/TextMatch.h"

#include "core/TextFolder.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace quillet::TextMatch {

namespace {

// Characters looked at per window, and the words a snippet keeps before its match.
constexpr qsizetype kWindow = 64 * 1024;
constexpr int kWordsBefore = 3;
constexpr qsizetype kMostBefore = 40;
constexpr qsizetype kMostAfter = 300;

// Marks fold together with the letter before them, so a window never starts or
// ends between the two (nor inside a surrogate pair).
bool continuesCluster(QStringView text, qsizetype at) {
    if (at <= 0 || at >= text.size()) {
        return false;
    }
    const char16_t unit = text[at].unicode();
    if (QChar::isLowSurrogate(unit)) {
        return QChar::isHighSurrogate(text[at - 1].unicode());
    }
    UChar32 c = unit;
    if (QChar::isHighSurrogate(unit) && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(unit, text[at + 1].unicode());
    }
    const int8_t type = u_charType(c);
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK ||
           type == U_COMBINING_SPACING_MARK;
}

qsizetype clusterStart(QStringView text, qsizetype at) {
    while (continuesCluster(text, at)) {
        --at;
    }
    return at;
}

qsizetype clusterEnd(QStringView text, qsizetype at) {
    while (continuesCluster(text, at)) {
        ++at;
    }
    return at;
}

// The folded form of text[from, to) with, per folded byte, the original
// characters it came from.
struct Folded {
    std::string bytes;
    std::vector<std::int32_t> from;
    std::vector<std::int32_t> to;

    void fold(QStringView text, qsizetype begin, qsizetype end) {
        bytes.clear();
        from.clear();
        to.clear();
        for (qsizetype i = begin; i < end;) {
            const char16_t unit = text[i].unicode();
            qsizetype next = i + 1;
            if (unit < 0x80 && (next >= end || text[next].unicode() < 0x80)) {
                bytes += static_cast<char>(unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit);
                from.push_back(std::int32_t(i));
                to.push_back(std::int32_t(next));
                i = next;
                continue;
            }
            if (QChar::isHighSurrogate(unit) && next < end && text[next].isLowSurrogate()) {
                ++next;
            }
            next = std::min(clusterEnd(text, next), end);
            const std::string piece = TextFolder::fold(text.sliced(i, next - i));
            bytes += piece;
            from.insert(from.end(), piece.size(), std::int32_t(i));
            to.insert(to.end(), piece.size(), std::int32_t(next));
            i = next;
        }
    }

    Span spanAt(std::size_t at, std::size_t n) const {
        const qsizetype start = from[at];
        return {start, to[at + n - 1] - start};
    }
};

qsizetype overlapFor(std::string_view needle) {
    return qsizetype(needle.size()) * 4 + 64;
}

} // namespace

Span next(QStringView text, std::string_view needle, qsizetype from) {
    if (needle.empty()) {
        return {};
    }
    const qsizetype window = std::max(kWindow, overlapFor(needle) * 4);
    Folded folded;
    for (qsizetype begin = clusterStart(text, std::max<qsizetype>(from, 0)); begin < text.size();) {
        const qsizetype end = clusterEnd(text, std::min(text.size(), begin + window));
        folded.fold(text, begin, end);
        for (std::size_t at = folded.bytes.find(needle); at != std::string::npos;
             at = folded.bytes.find(needle, at + 1)) {
            const Span span = folded.spanAt(at, needle.size());
            if (span.start >= from) {
                return span;
            }
        }
        if (end >= text.size()) {
            break;
        }
        // A match cut by the window's end starts again in the next one.
        begin = clusterStart(text, end - overlapFor(needle));
    }
    return {};
}

Span previous(QStringView text, std::string_view needle, qsizetype before) {
    if (needle.empty()) {
        return {};
    }
    const qsizetype window = std::max(kWindow, overlapFor(needle) * 4);
    Folded folded;
    qsizetype bound = std::min(before, text.size());
    while (bound > 0) {
        const qsizetype begin = clusterStart(text, std::max<qsizetype>(0, bound - window));
        const qsizetype end = clusterEnd(text, std::min(text.size(), bound + overlapFor(needle)));
        folded.fold(text, begin, end);
        Span last;
        for (std::size_t at = folded.bytes.find(needle); at != std::string::npos;
             at = folded.bytes.find(needle, at + 1)) {
            const Span span = folded.spanAt(at, needle.size());
            if (span.start >= bound) {
                break;
            }
            last = span;
        }
        if (last.found()) {
            return last;
        }
        bound = begin;
    }
    return {};
}

std::vector<Span> all(QStringView text, std::string_view needle) {
    std::vector<Span> spans;
    if (needle.empty()) {
        return spans;
    }
    Folded folded;
    folded.fold(text, 0, text.size());
    for (std::size_t at = folded.bytes.find(needle); at != std::string::npos;
         at = folded.bytes.find(needle, at + needle.size())) {
        spans.push_back(folded.spanAt(at, needle.size()));
    }
    return spans;
}

Snippet snippet(QStringView text, std::string_view needle) {
    const Span match = next(text, needle, 0);
    if (!match.found()) {
        return {};
    }
    // Back over a few words, on the match's own line.
    qsizetype start = match.start;
    int words = 0;
    while (start > 0 && match.start - start < kMostBefore) {
        const QChar c = text[start - 1];
        if (c == u'\n' || c == u'\r') {
            break;
        }
        if (c.isSpace() && !text[start].isSpace() && ++words > kWordsBefore) {
            break;
        }
        --start;
    }
    while (start < match.start && text[start].isSpace()) {
        ++start;
    }
    start = clusterStart(text, start);
    if (start > 0 && text[start].isLowSurrogate()) {
        --start;
    }
    qsizetype end = std::min(text.size(), match.start + match.length + kMostAfter);
    if (end < text.size() && text[end].isLowSurrogate()) {
        ++end;
    }
    Snippet shown;
    const bool cut = start > 0 && text[start - 1] != u'\n';
    const QString ellipsis = cut ? QStringLiteral("\u2026") : QString();
    shown.text = ellipsis + text.sliced(start, end - start).toString();
    // One line: breaks and tabs become spaces, one for one, so the offsets hold.
    for (QChar& c : shown.text) {
        if (c == u'\n' || c == u'\r' || c == u'\t') {
            c = u' ';
        }
    }
    shown.matchStart = ellipsis.size() + match.start - start;
    shown.matchLength = match.length;
    return shown;
}

} // namespace quillet::TextMatch
