#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

class QMenu;
class QPoint;
class QTextBlock;

namespace quillet {

class EditTextView;
class SpellChecker;
class UserDefaults;

// Marks the misspelt words of the editor with a red wavy underline. Only
// the part of the text on screen is checked, after each change or scroll
// (coalesced on the event loop), each word once per language through a
// cache: a key in an entry of megabytes costs what the screen holds. Web and
// mail addresses, numbers and all-caps words are never marked, nor the word
// being typed at the caret. The language and the switch are remembered.
class SpellMarker : public QObject {
    Q_OBJECT
public:
    static constexpr int kSuggestionCount = 6;

    SpellMarker(EditTextView* editor, SpellChecker* checker, UserDefaults* defaults);

    // Loads the remembered language (else the locale's) on a helper thread
    // and marks what is shown; until then nothing is loaded or marked.
    void start();

    QStringList languages();
    QString language() const;
    void setLanguage(const QString& tag);
    bool isOn() const { return on_; }
    void setOn(bool on);

    // Puts the misspelt word's suggestions, "Add to Dictionary" and "Ignore"
    // at the top of the editor's context menu for a click at viewportPos.
    void addMenuItems(QMenu* menu, const QPoint& viewportPos);
    // Marks the shown part now (otherwise run by a timer after changes).
    void mark();
    // How many distinct words were looked up since the cache was last cleared.
    qsizetype checkedWords() const { return known_.size(); }

private:
    void schedule();
    bool isKnown(const QString& word);
    void replaceWord(int position, const QString& word, const QString& with);

    EditTextView* editor_;
    SpellChecker* checker_;
    UserDefaults* defaults_;
    QTimer pending_;
    QHash<QString, bool> known_;
    bool started_ = false;
    bool on_ = true;
};

} // namespace quillet
