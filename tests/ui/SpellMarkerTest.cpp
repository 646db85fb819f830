// The editor's spelling marks: only the shown part of the text is checked,
// the marks follow a scroll, and the context menu's suggestion replaces the
// word. Against the installed en_US dictionary.
#include "ui/journal/SpellMarker.h"
#include "TestSupport.h"
#include "core/SpellChecker.h"
#include "core/UserDefaults.h"
#include "diary/Utility.h"
#include "ui/journal/EditTextView.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <cstdlib>
#include <gtest/gtest.h>

namespace quillet {
namespace {

class SpellMarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString folder = test::makeTempDir();
        setenv("ENCHANT_CONFIG_DIR", QFile::encodeName(folder).constData(), 1);
        if (!checker.languages().contains(QStringLiteral("en_US"))) {
            GTEST_SKIP() << "no en_US dictionary installed";
        }
        defaults = std::make_unique<UserDefaults>(folder + QStringLiteral("/Quillet2.conf"));
        defaults->setObject(QStringLiteral("en_US"), QStringLiteral("spellingLanguage"));
        ASSERT_TRUE(checker.setLanguage(QStringLiteral("en_US")));
        marker = new SpellMarker(&editor, &checker, defaults.get());
        editor.resize(600, 400);
        editor.show();
    }
    QStringList marked() {
        QCoreApplication::processEvents();
        QStringList words;
        for (const auto& selection : editor.extraSelections()) {
            words << selection.cursor.selectedText();
        }
        return words;
    }
    SpellChecker checker;
    std::unique_ptr<UserDefaults> defaults;
    EditTextView editor{Utility::sharedUtility()};
    SpellMarker* marker = nullptr;
};

TEST_F(SpellMarkerTest, OnlyTheShownPartIsCheckedAndTheMarksFollowAScroll) {
    QString text = QStringLiteral("Ths is wrng, NASA at www.exampel.com\n");
    for (int i = 0; i < 20000; ++i) {
        text += QStringLiteral("the river and rain\n");
    }
    text += QStringLiteral("farbelowx");
    editor.setEntryText(text);
    marker->start();
    EXPECT_EQ(marked(), (QStringList{QStringLiteral("Ths"), QStringLiteral("wrng")}));
    EXPECT_LT(marker->checkedWords(), 20);

    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
    EXPECT_EQ(marked(), QStringList{QStringLiteral("farbelowx")});

    marker->setOn(false);
    EXPECT_TRUE(marked().isEmpty());
    EXPECT_FALSE(defaults->boolForKey(QStringLiteral("checkSpellingWhileTyping")));
}

TEST_F(SpellMarkerTest, ASuggestionFromTheMenuReplacesTheWordAndAddedWordsAreNoLongerMarked) {
    editor.setEntryText(QStringLiteral("Ths is wrng"));
    marker->start();
    ASSERT_EQ(marked().size(), 2);
    QTextCursor wrong(editor.document());
    wrong.setPosition(8);
    QMenu menu;
    QAction* standard = menu.addAction(QStringLiteral("Copy"));
    marker->addMenuItems(&menu, editor.cursorRect(wrong).center());
    const QList<QAction*> items = menu.actions();
    ASSERT_GT(items.size(), 4);
    EXPECT_EQ(items.last(), standard);
    const auto found = std::find_if(items.begin(), items.end(), [](QAction* a) {
        return a->text() == QStringLiteral("wrong");
    });
    ASSERT_NE(found, items.end());
    EXPECT_LE(items.indexOf(*found), SpellMarker::kSuggestionCount);
    (*found)->trigger();
    EXPECT_EQ(editor.entryText(), QStringLiteral("Ths is wrong"));

    QMenu second;
    marker->addMenuItems(&second, editor.cursorRect(QTextCursor(editor.document())).center());
    const QList<QAction*> more = second.actions();
    const auto add = std::find_if(more.begin(), more.end(), [](QAction* a) {
        return a->text() == QStringLiteral("Add to Dictionary");
    });
    ASSERT_NE(add, more.end());
    (*add)->trigger();
    EXPECT_TRUE(marked().isEmpty());
}

} // namespace
} // namespace quillet
