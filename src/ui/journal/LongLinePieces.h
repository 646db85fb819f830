#pragma once

#include <QString>
#include <QStringView>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace quillet {

// A line of text is laid out as one block, and laying out a block costs far
// more than its length: a pasted blob of a megabyte without a space would
// hold the window for minutes, and every key typed into it as long. So the
// editor's document holds a long line in pieces, each a block of its own
// marked as continuing the block before it; the break between two pieces is
// no character of the text. These functions put text in and take it out
// with those breaks left out, so the text stays exactly as it was.
namespace LongLinePieces {

// A line longer than this is held in pieces of about kPieceLength.
constexpr qsizetype kLongLine = 6144;
constexpr qsizetype kPieceLength = 4096;

// Whether the block continues the one before it (the break is not text).
bool isPiece(const QTextBlock& block);
// Whether some line of text is longer than kLongLine.
bool hasLongLine(QStringView text);
// Inserts text at the cursor (replacing its selection), its line breaks as
// real breaks and its long lines in pieces, as one step to undo.
void insertText(QTextCursor& cursor, QStringView text);
// A line break typed at the cursor: a real break, also inside a piece
// (where the block Qt would make copies the piece's mark).
void insertLineBreak(QTextCursor& cursor);
// The text of the document between two positions, the breaks between
// pieces left out (and a line separator, from Shift+Return, as a line break).
QString text(const QTextDocument* document, int from, int to);
QString text(const QTextDocument* document);
// Splits a block grown past kLongLine by typing; false when it is short.
bool splitIfLong(const QTextBlock& block);

} // namespace LongLinePieces
} // namespace quillet
