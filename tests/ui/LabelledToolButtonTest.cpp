#include "ui/LabelledToolButton.h"

#include <QAction>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LabelledToolButton, KeepsItsLabelWhenTheActionChanges) {
    QAction action(QStringLiteral("&New Entry"));
    LabelledToolButton button(&action, QStringLiteral("New"));
    EXPECT_EQ(button.text(), QStringLiteral("New"));
    action.setEnabled(false);
    action.setEnabled(true);
    action.setCheckable(true);
    action.setChecked(true);
    EXPECT_EQ(button.text(), QStringLiteral("New"));
    EXPECT_TRUE(button.isEnabled());
    action.setEnabled(false);
    EXPECT_FALSE(button.isEnabled()) << "the button still follows the action's state";
    EXPECT_EQ(button.accessibleName(), QStringLiteral("New Entry")) << "it says its command";
}

} // namespace
} // namespace quillet
