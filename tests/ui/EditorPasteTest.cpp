// Pastes and drops into the entry editor take plain text only, and only
// once the offered data was checked: a clipboard whose owner does not answer,
// or answers nonsense, leaves the text as it was.
#include "diary/Utility.h"
#include "ui/journal/EditTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// Offers formats it then fails to deliver, or delivers as something else:
// what a clipboard owner that hangs (or lies) hands out.
class HostileMimeData : public QMimeData {
public:
    explicit HostileMimeData(QVariant answer, QStringList offered = {QStringLiteral("text/plain"),
                                                                     QStringLiteral("text/html")})
        : answer_(std::move(answer)), offered_(std::move(offered)) {}
    QStringList formats() const override { return offered_; }
    bool hasFormat(const QString& type) const override { return offered_.contains(type); }
    mutable int asked = 0;

protected:
    QVariant retrieveData(const QString& type, QMetaType preferred) const override {
        Q_UNUSED(type);
        Q_UNUSED(preferred);
        ++asked;
        return answer_;
    }

private:
    QVariant answer_;
    QStringList offered_;
};

// The editor with the clipboard's entry points reachable from the test.
class Editor : public EditTextView {
public:
    Editor() : EditTextView(Utility::sharedUtility()) {}
    using EditTextView::canInsertFromMimeData;
    using EditTextView::insertFromMimeData;
};

class EditorPasteTest : public ::testing::Test {
protected:
    EditorPasteTest() {
        editor.setPlainText(QStringLiteral("Dear diary, "));
        editor.moveCursor(QTextCursor::End);
    }
    Editor editor;
};

TEST_F(EditorPasteTest, DataThatIsMissingOrNotTextLeavesTheTextAsItWas) {
    const QString before = editor.toPlainText();

    // No data at all (the clipboard gave up waiting for its owner).
    EXPECT_TRUE(EditTextView::pastableText(nullptr).isNull());

    // Formats offered, then no answer; an answer in nothing like text; only a picture.
    HostileMimeData silent{QVariant()};
    HostileMimeData point{QVariant(QPointF(1, 2))};
    HostileMimeData picture{QVariant(), {QStringLiteral("image/png")}};
    for (HostileMimeData* source : {&silent, &point, &picture}) {
        editor.insertFromMimeData(source);
        EXPECT_EQ(editor.toPlainText(), before);
    }
    EXPECT_GT(silent.asked, 0) << "the offered text was asked for";
    EXPECT_FALSE(editor.canInsertFromMimeData(nullptr));
    EXPECT_FALSE(editor.canInsertFromMimeData(&picture));

    // Through the clipboard as a paste key would, with the clipboard emptied.
    QApplication::clipboard()->setMimeData(new QMimeData);
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.toPlainText(), before);
}

TEST_F(EditorPasteTest, TextIsTakenAsPlainTextWithOneKindOfLineEnd) {
    QMimeData plain;
    plain.setText(QStringLiteral("one\r\ntwo\rthree\nfour"));
    plain.setHtml(QStringLiteral("<b>ignored</b>"));
    ASSERT_TRUE(editor.canInsertFromMimeData(&plain));
    editor.insertFromMimeData(&plain);
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("Dear diary, one\ntwo\nthree\nfour"));

    // Markup alone comes in as its text, never as formatting or tags.
    editor.setPlainText(QString());
    QMimeData html;
    html.setHtml(QStringLiteral("<p>caf\u00e9 <b>cr\u00e8me</b><script>x()</script></p>"));
    ASSERT_TRUE(editor.canInsertFromMimeData(&html));
    editor.insertFromMimeData(&html);
    EXPECT_TRUE(editor.toPlainText().startsWith(QStringLiteral("caf\u00e9 cr\u00e8me")));
    EXPECT_FALSE(editor.toPlainText().contains(QLatin1Char('<')));

    // A read-only editor (no entry selected) takes nothing.
    editor.setReadOnly(true);
    const QString shown = editor.toPlainText();
    EXPECT_FALSE(editor.canInsertFromMimeData(&plain));
    editor.insertFromMimeData(&plain);
    EXPECT_EQ(editor.toPlainText(), shown);

    // Characters the text cannot hold are dropped.
    editor.setReadOnly(false);
    editor.setPlainText(QString());
    HostileMimeData nulls{QByteArray("a\0b\0", 4)};
    editor.insertFromMimeData(&nulls);
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("ab"));

    // Through the clipboard and the paste key.
    editor.setReadOnly(false);
    editor.setPlainText(QStringLiteral("x"));
    editor.moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(QStringLiteral("y\r\nz"));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("xy\nz"));
}

} // namespace
} // namespace quillet
