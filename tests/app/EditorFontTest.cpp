#include "JournalWindowFixture.h"

#include "core/UserDefaults.h"
#include "diary/Utility.h"
#include "ui/journal/EditTextView.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QSlider>
#include <QWheelEvent>

#include <functional>

namespace quillet::test {
namespace {

void gesture(QWidget* target, Qt::NativeGestureType type, double value = 0.0) {
    QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, QPointF(10, 10),
                              QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), value,
                              QPointF());
    QApplication::sendEvent(target, &event);
}

void pinch(QWidget* target, double magnification) {
    gesture(target, Qt::ZoomNativeGesture, magnification);
}

void wheel(QWidget* target, int angle, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QWheelEvent event(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, angle), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

class EditorFontTest : public JournalWindowTest {
protected:
    EditTextView* editor() const { return window->editTextView; }
    QSlider* slider() const { return window->fontSlider; }
    double editorSize() const { return editor()->font().pointSizeF(); }
    float storedSize() const {
        return Utility::sharedUtility()->userDefalts()->floatForKey(
            QStringLiteral("currentFontSize"));
    }
    QString storedName() const {
        return Utility::sharedUtility()->userDefalts()->stringForKey(
            QStringLiteral("currentFontName"));
    }
    void setEditorSize(double size) {
        QFont font = editor()->font();
        font.setPointSizeF(size);
        editor()->setFont(font);
    }
};

// A pinch and a Ctrl+wheel resize alike: steps of a tenth, never to 11 points or
// below, stored only once the gesture ends.
TEST_F(EditorFontTest, PinchAndControlWheelResizeAboveElevenAndStoreAtTheEnd) {
    struct Gesture {
        const char* name;
        std::function<void(double)> zoom;
        std::function<void()> end;
    };
    const Gesture gestures[] = {
        {"pinch", [&](double m) { pinch(editor()->viewport(), m); },
         [&] { gesture(editor()->viewport(), Qt::EndNativeGesture); }},
        {"wheel", [&](double m) { wheel(editor()->viewport(), int(m * 1200)); },
         [&] {
             // Without a further notch the gesture ends by itself.
             ASSERT_TRUE(QTest::qWaitFor([&] { return !editor()->isWheelGestureActive(); }, 5000));
         }},
    };
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.name);
        Utility::sharedUtility()->userDefalts()->setFloat(0.0f, QStringLiteral("currentFontSize"));
        setEditorSize(14.0);
        g.zoom(0.1);
        EXPECT_DOUBLE_EQ(editorSize(), 16.0);
        EXPECT_EQ(slider()->value(), 160);
        EXPECT_FLOAT_EQ(storedSize(), 0.0f) << "the gesture alone stores nothing";
        setEditorSize(12.0);
        g.zoom(-0.1); // would be 10
        EXPECT_DOUBLE_EQ(editorSize(), 12.0);
        g.zoom(-0.05); // exactly 11
        EXPECT_DOUBLE_EQ(editorSize(), 12.0);
        g.zoom(-0.02);
        EXPECT_FLOAT_EQ(float(editorSize()), 11.6f);
        EXPECT_EQ(slider()->value(), 116);
        g.end();
        EXPECT_FLOAT_EQ(storedSize(), 11.6f);
        EXPECT_EQ(storedName(), Utility::fontName(editor()->font()));
    }
    // Pinches reach the editor as well as the viewport under the fingers.
    setEditorSize(14.0);
    pinch(editor(), 0.1);
    EXPECT_DOUBLE_EQ(editorSize(), 16.0);
    gesture(editor(), Qt::EndNativeGesture);
    EXPECT_FLOAT_EQ(storedSize(), 16.0f);
    // Releasing Ctrl ends a wheel gesture and stores; a plain wheel scrolls.
    wheel(editor()->viewport(), 120);
    EXPECT_TRUE(editor()->isWheelGestureActive());
    QTest::keyRelease(editor(), Qt::Key_Control);
    EXPECT_FALSE(editor()->isWheelGestureActive());
    EXPECT_FLOAT_EQ(storedSize(), 18.0f);
    wheel(editor()->viewport(), -120, Qt::NoModifier);
    EXPECT_DOUBLE_EQ(editorSize(), 18.0);
    EXPECT_FALSE(editor()->isWheelGestureActive());
}

// Showing the journal again puts the stored font back:
// Routing.ShowingTheMainViewFocusesTheEditorAndRestoresTheStoredFont.
TEST_F(EditorFontTest, SliderResizesWithoutStoring) {
    editor()->changeFont(QFont(QStringLiteral("DejaVu Serif"), 18));
    ASSERT_FLOAT_EQ(storedSize(), 18.0f);

    slider()->setValue(255);
    EXPECT_DOUBLE_EQ(editorSize(), 25.5);
    EXPECT_EQ(editor()->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_FLOAT_EQ(storedSize(), 18.0f);

    // The slider has no lower limit of its own in the editor.
    slider()->setValue(slider()->minimum());
    EXPECT_DOUBLE_EQ(editorSize(), EditTextView::kFontSliderMinimum);
    EXPECT_FLOAT_EQ(storedSize(), 18.0f);
}

TEST_F(EditorFontTest, FontDialogStoresNameAndSizeBeforeApplying) {
    // The font the dialog opens on (stored as the dialog's choice is, below).
    editor()->changeFont(QFont(QStringLiteral("DejaVu Serif"), 19));
    EXPECT_EQ(slider()->value(), 190);

    // Format > Font… opens the dialog on the editor's font; accepting it stores the choice.
    window->fontAction->trigger();
    auto* dialog = window->findChild<QFontDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->currentFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(dialog->currentFont().pointSize(), 19);
    // The dialog starts on the face the editor shows, not on the family's first one.
    EXPECT_FALSE(dialog->currentFont().italic());
    EXPECT_EQ(dialog->currentFont().styleName(), QFontInfo(editor()->font()).styleName());
    dialog->accept();
    EXPECT_FALSE(editor()->font().italic());
    EXPECT_EQ(QFontInfo(editor()->font()).style(), QFont::StyleNormal);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(window->findChild<QFontDialog*>(), nullptr);

    window->fontAction->trigger();
    dialog = window->findChild<QFontDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->setCurrentFont(QFont(QStringLiteral("DejaVu Sans Mono"), 21, QFont::Bold));
    const QFont chosen = dialog->currentFont();
    ASSERT_EQ(chosen.family(), QStringLiteral("DejaVu Sans Mono"));
    dialog->accept();
    EXPECT_EQ(storedName(), Utility::fontName(chosen));
    EXPECT_FLOAT_EQ(storedSize(), 21.0f);
    EXPECT_EQ(editor()->font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(editor()->font().styleName(), chosen.styleName());
    EXPECT_DOUBLE_EQ(editorSize(), 21.0);
}

} // namespace
} // namespace quillet::test
