#include "ui/journal/SearchMarker.h"

#include "core/TextFolder.h"
#include "core/TextMatch.h"
#include "ui/journal/EditTextView.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace quillet {

namespace {
// Marks reach this far past the screen's ends, for a match cut by them.
constexpr int kMargin = 256;

// Amber seen through, over whatever the editor draws beneath (its base may be
// transparent over the theme's paper): a match stands apart from the
// selection, and its text stays readable on a light or a dark palette.
QColor highlight() {
    return QColor(0xf5, 0xc2, 0x11, 0x70);
}
} // namespace

SearchMarker::SearchMarker(EditTextView* editor, SearchText searchText)
    : QObject(editor), editor_(editor), searchText_(std::move(searchText)) {
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, [this] { mark(); });
    editor_->whenShownTextChanges(this, [this] { schedule(); });
}

void SearchMarker::searchChanged() {
    schedule();
}

void SearchMarker::schedule() {
    if (!pending_.isActive()) {
        pending_.start();
    }
}

const std::string& SearchMarker::needle() {
    const QString search = searchText_ ? searchText_() : QString();
    if (search != search_) {
        search_ = search;
        folded_ = TextFolder::fold(search);
    }
    return folded_;
}

void SearchMarker::mark() {
    pending_.stop();
    QList<QTextEdit::ExtraSelection> marks;
    const std::string& folded = needle();
    if (!folded.empty() && editor_->isVisible()) {
        QTextCharFormat format;
        format.setBackground(highlight());
        const auto [from, to] = editor_->shownRange();
        QTextDocument* doc = editor_->document();
        for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
            if (!b.isVisible()) {
                continue;
            }
            const QString text = b.text();
            const qsizetype start =
                std::clamp<qsizetype>(from - b.position() - kMargin, 0, text.size());
            const qsizetype end =
                std::clamp<qsizetype>(to - b.position() + kMargin, start, text.size());
            for (const TextMatch::Span& m :
                 TextMatch::all(QStringView(text).sliced(start, end - start), folded)) {
                QTextEdit::ExtraSelection mark{QTextCursor(doc), format};
                mark.cursor.setPosition(b.position() + int(start + m.start));
                mark.cursor.setPosition(b.position() + int(start + m.start + m.length),
                                        QTextCursor::KeepAnchor);
                marks.append(mark);
            }
        }
    }
    editor_->setMarks(EditTextView::MarkKind::Search, marks);
}

bool SearchMarker::findNext() {
    const std::string& folded = needle();
    if (folded.empty()) {
        return false;
    }
    const QString text = editor_->entryText();
    const QTextCursor cursor = editor_->textCursor();
    const qsizetype from = editor_->textPosition(cursor.hasSelection() ? cursor.selectionStart() + 1
                                                                       : cursor.position());
    TextMatch::Span found = TextMatch::next(text, folded, from);
    if (!found.found()) {
        found = TextMatch::next(text, folded, 0);
    }
    if (!found.found()) {
        return false;
    }
    QTextCursor select(editor_->document());
    select.setPosition(editor_->documentPosition(found.start));
    select.setPosition(editor_->documentPosition(found.start + found.length),
                       QTextCursor::KeepAnchor);
    editor_->setTextCursor(select);
    editor_->ensureCursorVisible();
    return true;
}

bool SearchMarker::findPrevious() {
    const std::string& folded = needle();
    if (folded.empty()) {
        return false;
    }
    const QString text = editor_->entryText();
    const qsizetype before = editor_->textPosition(editor_->textCursor().selectionStart());
    TextMatch::Span found = TextMatch::previous(text, folded, before);
    if (!found.found()) {
        found = TextMatch::previous(text, folded, text.size());
    }
    if (!found.found()) {
        return false;
    }
    // The caret stays at the match's start, so the next step back starts there.
    QTextCursor select(editor_->document());
    select.setPosition(editor_->documentPosition(found.start + found.length));
    select.setPosition(editor_->documentPosition(found.start), QTextCursor::KeepAnchor);
    editor_->setTextCursor(select);
    editor_->ensureCursorVisible();
    return true;
}

} // namespace quillet
