#include "ui/journal/SpellMarker.h"

#include "core/SpellChecker.h"
#include "core/SpellWords.h"
#include "core/UserDefaults.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/LongLinePieces.h"

#include <QLocale>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace quillet {

namespace {
const QString kSpellingLanguage = QStringLiteral("spellingLanguage");
const QString kCheckSpellingWhileTyping = QStringLiteral("checkSpellingWhileTyping");
// The cache is dropped whole past this many words: a diary's vocabulary
// is far smaller, a pasted list of nonsense is not.
constexpr qsizetype kCacheLimit = 200000;

// A misspelt word of the document: its position and its text.
struct Word {
    int position = -1;
    QString text;
};

// The checkable words of block between two offsets in it, widened to whole
// words; fragments that run on into a neighbouring piece of a long line are
// left out, as the break between pieces is no break between words.
template <typename F> void forEachWord(const QTextBlock& block, int from, int to, F&& f) {
    const QString text = block.text();
    int start = std::clamp(from, 0, int(text.size()));
    int end = std::clamp(to, start, int(text.size()));
    for (int n = 0; start > 0 && !text[start - 1].isSpace() && n < SpellWords::kLongestWord; ++n)
        --start;
    for (int n = 0; end < text.size() && !text[end].isSpace() && n < SpellWords::kLongestWord; ++n)
        ++end;
    const bool pieceBefore = LongLinePieces::isPiece(block);
    const bool pieceAfter = LongLinePieces::isPiece(block.next());
    const QStringView shown = QStringView(text).sliced(start, end - start);
    for (const SpellWords::Range& r : SpellWords::checkable(shown)) {
        const int at = start + int(r.start);
        const int past = at + int(r.length);
        if ((pieceBefore && at == 0) || (pieceAfter && past == text.size())) {
            continue;
        }
        f(at, shown.sliced(r.start, r.length));
    }
}
} // namespace

SpellMarker::SpellMarker(EditTextView* editor, SpellChecker* checker, UserDefaults* defaults)
    : QObject(editor), editor_(editor), checker_(checker), defaults_(defaults) {
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, [this] { mark(); });
    connect(checker_, &SpellChecker::changed, this, [this] {
        known_.clear();
        schedule();
    });
    editor_->whenShownTextChanges(this, [this] { schedule(); });
}

void SpellMarker::start() {
    started_ = true;
    const QVariant on = defaults_->objectForKey(kCheckSpellingWhileTyping);
    on_ = !on.isValid() || on.toBool();
    checker_->loadLanguageInBackground(defaults_->stringForKey(kSpellingLanguage),
                                       QLocale().name());
    schedule();
}

QStringList SpellMarker::languages() {
    return checker_->languages();
}

QString SpellMarker::language() const {
    return checker_->language();
}

void SpellMarker::setLanguage(const QString& tag) {
    if (checker_->setLanguage(tag)) {
        defaults_->setObject(tag, kSpellingLanguage);
        defaults_->synchronize();
    }
}

void SpellMarker::setOn(bool on) {
    on_ = on;
    defaults_->setBool(on, kCheckSpellingWhileTyping);
    defaults_->synchronize();
    schedule();
}

void SpellMarker::schedule() {
    if (started_ && !pending_.isActive()) {
        pending_.start();
    }
}

bool SpellMarker::isKnown(const QString& word) {
    const auto found = known_.constFind(word);
    if (found != known_.constEnd()) {
        return *found;
    }
    if (known_.size() >= kCacheLimit) {
        known_.clear();
    }
    const bool known = checker_->check(word);
    known_.insert(word, known);
    return known;
}

void SpellMarker::mark() {
    pending_.stop();
    QList<QTextEdit::ExtraSelection> marks;
    if (on_ && checker_->isActive() && editor_->isVisible()) {
        QTextCharFormat wavy;
        wavy.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        wavy.setUnderlineColor(Qt::red);
        const auto [from, to] = editor_->shownRange();
        // The word being typed is left alone until the caret leaves its end.
        const int caret = editor_->hasFocus() ? editor_->textCursor().position() : -1;
        QTextDocument* doc = editor_->document();
        for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
            if (!b.isVisible()) {
                continue;
            }
            const int base = b.position();
            forEachWord(b, from - base, to - base, [&](int at, QStringView word) {
                const QString text = word.toString();
                if (base + at + int(word.size()) == caret || isKnown(text)) {
                    return;
                }
                QTextEdit::ExtraSelection mark{QTextCursor(doc), wavy};
                mark.cursor.setPosition(base + at);
                mark.cursor.setPosition(base + at + int(word.size()), QTextCursor::KeepAnchor);
                marks.append(mark);
            });
        }
    }
    editor_->setMarks(EditTextView::MarkKind::Spelling, marks);
}

void SpellMarker::addMenuItems(QMenu* menu, const QPoint& viewportPos) {
    if (!on_ || !checker_->isActive() || editor_->isReadOnly()) {
        return;
    }
    const QTextCursor at = editor_->cursorForPosition(viewportPos);
    const QTextBlock block = at.block();
    const int offset = at.position() - block.position();
    Word misspelt;
    forEachWord(block, offset, offset, [&](int start, QStringView word) {
        if (start <= offset && offset <= start + word.size() && !isKnown(word.toString())) {
            misspelt = {block.position() + start, word.toString()};
        }
    });
    if (misspelt.position < 0) {
        return;
    }
    QAction* first = menu->actions().value(0);
    QList<QAction*> items;
    const QStringList suggestions = checker_->suggestions(misspelt.text, kSuggestionCount);
    for (const QString& suggestion : suggestions) {
        auto* item = new QAction(suggestion, menu);
        connect(item, &QAction::triggered, this, [this, misspelt, suggestion] {
            replaceWord(misspelt.position, misspelt.text, suggestion);
        });
        items << item;
    }
    if (suggestions.isEmpty()) {
        auto* none = new QAction(tr("No Guesses Found"), menu);
        none->setEnabled(false);
        items << none;
    }
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    auto* add = new QAction(tr("Add to Dictionary"), menu);
    connect(add, &QAction::triggered, this,
            [this, word = misspelt.text] { checker_->addToDictionary(word); });
    auto* ignore = new QAction(tr("Ignore"), menu);
    connect(ignore, &QAction::triggered, this,
            [this, word = misspelt.text] { checker_->ignore(word); });
    auto* after = new QAction(menu);
    after->setSeparator(true);
    items << separator << add << ignore << after;
    menu->insertActions(first, items);
}

void SpellMarker::replaceWord(int position, const QString& word, const QString& with) {
    QTextCursor cursor(editor_->document());
    cursor.setPosition(position);
    cursor.setPosition(position + int(word.size()), QTextCursor::KeepAnchor);
    // Only while the word is still where the menu found it.
    if (cursor.selectedText() == word) {
        cursor.insertText(with);
        editor_->setTextCursor(cursor);
    }
}

} // namespace quillet
