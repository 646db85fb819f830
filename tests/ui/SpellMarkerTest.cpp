// The editor's marks: only the shown part of the text is checked for
// spelling, the marks follow a scroll, the context menu's suggestion replaces
// the word, and the search's and the links' marks sit beside the spelling
// ones. Against the installed en_US dictionary.
#include "ui/journal/SpellMarker.h"
#include "TestSupport.h"
#include "core/SpellChecker.h"
#include "core/UserDefaults.h"
#include "diary/Utility.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/LinkMarker.h"
#include "ui/journal/SearchMarker.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
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

TEST_F(SpellMarkerTest, SearchAndLinkMarksSitBesideTheSpellingOnesAndCtrlClickOpensALink) {
    std::vector<QUrl> opened;
    new LinkMarker(&editor, [&](const QUrl& url) { opened.push_back(url); });
    QString search = QStringLiteral("rain");
    auto* matches = new SearchMarker(&editor, [&] { return search; });
    editor.setEntryText(QStringLiteral("Grak rain at www.example.org and RAIN"));
    marker->start();
    matches->searchChanged();
    // The language loads on a helper thread.
    ASSERT_TRUE(QTest::qWaitFor([&] { return marked().contains(QStringLiteral("Grak")); }));
    const QStringList all{QStringLiteral("rain"), QStringLiteral("RAIN"), QStringLiteral("Grak"),
                          QStringLiteral("www.example.org")};
    EXPECT_EQ(marked(), all);
    marker->mark();
    EXPECT_EQ(marked(), all) << "the spell checker keeps the others' marks";
    search.clear();
    matches->searchChanged();
    EXPECT_EQ(marked(), all.mid(2));

    QTextCursor inLink(editor.document());
    inLink.setPosition(16);
    const QPoint at = editor.cursorRect(inLink).center() + QPoint(2, 0);
    for (const auto modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
        QMouseEvent move(QEvent::MouseMove, at, editor.viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, modifiers);
        QCoreApplication::sendEvent(editor.viewport(), &move);
        EXPECT_EQ(editor.viewport()->cursor().shape(),
                  modifiers ? Qt::PointingHandCursor : Qt::IBeamCursor);
    }
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(opened.empty());
    EXPECT_NEAR(editor.textCursor().position(), 16, 1) << "a plain click places the caret";
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(QStringLiteral("https://www.example.org"))});
    EXPECT_EQ(editor.entryText(), QStringLiteral("Grak rain at www.example.org and RAIN"));
}

} // namespace
} // namespace quillet
