#include "ui/journal/LongLinePieces.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace quillet::LongLinePieces {

namespace {

constexpr int kPieceProperty = QTextFormat::UserProperty + 0x51;

QTextBlockFormat pieceFormat(QTextBlockFormat format) {
    format.setProperty(kPieceProperty, true);
    return format;
}

QTextBlockFormat lineFormat(QTextBlockFormat format) {
    format.clearProperty(kPieceProperty);
    return format;
}

// Where the piece that starts at `from` ends: after a blank near its end,
// else at a character boundary (never inside a surrogate pair or between a
// letter and its accent).
qsizetype pieceEnd(QStringView line, qsizetype from) {
    const qsizetype end = from + kPieceLength;
    for (qsizetype i = end; i > end - kPieceLength / 4; --i) {
        if (line[i - 1].isSpace()) {
            return i;
        }
    }
    const qsizetype start = std::max(from + 1, end - 32);
    const QString around = line.sliced(start, std::min(line.size(), end + 32) - start).toString();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, around);
    graphemes.setPosition(int(end - start));
    const qsizetype at =
        graphemes.isAtBoundary() ? graphemes.position() : graphemes.toPreviousBoundary();
    return at > 0 ? start + at : end;
}

// The lengths of the pieces a line is held in (one for a short line).
std::vector<qsizetype> pieceLengths(QStringView line) {
    std::vector<qsizetype> lengths;
    qsizetype from = 0;
    while (line.size() - from > kLongLine) {
        const qsizetype end = pieceEnd(line, from);
        lengths.push_back(end - from);
        from = end;
    }
    lengths.push_back(line.size() - from);
    return lengths;
}

bool isLineBreak(QChar c) {
    // What Qt would turn into a block break when inserting text.
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
           c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1;
}

} // namespace

bool isPiece(const QTextBlock& block) {
    return block.isValid() && block.blockFormat().boolProperty(kPieceProperty);
}

bool hasLongLine(QStringView text) {
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        if (end < 0) {
            end = text.size();
        }
        if (end - from > kLongLine) {
            return true;
        }
        from = end + 1;
    }
    return false;
}

void insertText(QTextCursor& cursor, QStringView text) {
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    qsizetype from = 0;
    for (;;) {
        qsizetype end = from;
        while (end < text.size() && !isLineBreak(text[end])) {
            ++end;
        }
        const QStringView line = text.sliced(from, end - from);
        qsizetype at = 0;
        bool first = true;
        for (const qsizetype length : pieceLengths(line)) {
            if (!first) {
                cursor.insertBlock(pieceFormat(cursor.blockFormat()));
            }
            first = false;
            if (length > 0) {
                cursor.insertText(line.sliced(at, length).toString());
            }
            at += length;
        }
        if (end >= text.size()) {
            break;
        }
        // A CR LF pair is one break, as Qt counts it.
        from = end + 1;
        if (text[end] == QLatin1Char('\r') && from < text.size() &&
            text[from] == QLatin1Char('\n')) {
            ++from;
        }
        insertLineBreak(cursor);
    }
    cursor.endEditBlock();
}

void insertLineBreak(QTextCursor& cursor) {
    cursor.insertBlock(lineFormat(cursor.blockFormat()), cursor.charFormat());
}

QString text(const QTextDocument* document, int from, int to) {
    QString result;
    if (from >= to) {
        return result;
    }
    const QTextBlock last = document->findBlock(to);
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        const int start = block.position();
        if (start > from && !isPiece(block)) {
            result += QLatin1Char('\n');
        }
        const int begin = std::max(from - start, 0);
        const int end = std::min(to - start, block.length() - 1);
        if (end > begin) {
            result += QStringView(block.text()).sliced(begin, end - begin);
        }
        if (block == last) {
            break;
        }
    }
    // Shift+Return puts a line separator into the block; it is a line break.
    result.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return result;
}

QString text(const QTextDocument* document) {
    return text(document, 0, document->characterCount() - 1);
}

bool splitIfLong(const QTextBlock& block) {
    if (block.length() - 1 <= kLongLine) {
        return false;
    }
    const QString line = block.text();
    std::vector<int> cuts;
    qsizetype at = 0;
    for (const qsizetype length : pieceLengths(line)) {
        at += length;
        cuts.push_back(int(at));
    }
    cuts.pop_back();
    // From the end, so that each cut's position still holds; one step with
    // the typing before it, so that undo never stops at a split.
    QTextCursor cursor(block);
    cursor.joinPreviousEditBlock();
    const QTextBlockFormat piece = pieceFormat(lineFormat(block.blockFormat()));
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        cursor.setPosition(block.position() + *cut);
        cursor.insertBlock(piece, cursor.charFormat());
    }
    cursor.endEditBlock();
    return true;
}

} // namespace quillet::LongLinePieces
