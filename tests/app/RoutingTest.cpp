#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "core/NotificationCenter.h"
#include "diary/Utility.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"
#include "ui/passcode/PasscodeView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QToolBar>
#include <gtest/gtest.h>

namespace quillet {
namespace {

using test::ScopedDiaryHome;

enum class View { Lock, Main, Question, Blocker };

View shownView(AppDelegate& d) {
    const std::vector<std::pair<QWidget*, View>> views = {
        {d.passcodeView(), View::Lock},
        {d.mainView(), View::Main},
        {d.askIfUseICloudView(), View::Question},
        {d.cloudDisabledBlockerView(), View::Blocker}};
    int shown = 0;
    View which = View::Main;
    for (const auto& [widget, view] : views) {
        if (!widget->isHidden()) {
            ++shown;
            which = view;
        }
    }
    EXPECT_EQ(shown, 1) << "exactly one view is shown after routing";
    return which;
}

struct Row {
    bool locked, supported, enabled, cloudStore, asked, migrated;
    View expected;
};

// Makes the file system and the settings give the answers of one row.
void arrange(const ScopedDiaryHome& home, const Row& row) {
    Utility* u = Utility::sharedUtility();
    u->setIsPasscodeLocked(row.locked);
    u->setPasscode(QStringLiteral("1234"));
    u->setICloudSupportedForTesting(row.supported);
    u->setIsUseICloudAsked(row.asked);
    const QString container =
        home.cloudRoot() + QLatin1Char('/') + u->ubiquityContainerIdentifier();
    if (row.enabled) {
        QDir().mkpath(container + QStringLiteral("/.nosync"));
        if (row.cloudStore) {
            QFile(container + QStringLiteral("/.nosync/entries.sqlite")).open(QIODevice::WriteOnly);
        }
    }
    if (row.migrated) {
        QDir().mkpath(home.storeFolder());
        QFile(home.storeFolder() + QStringLiteral("/entries.sqlite.bak"))
            .open(QIODevice::WriteOnly);
    }
}

TEST(Routing, EveryRowOfTheTable) {
    const std::vector<Row> rows = {
        {true, false, false, false, false, false, View::Lock},
        {true, true, true, false, false, false, View::Lock},
        {false, false, true, false, false, true, View::Main},
        {false, true, true, false, false, false, View::Question},
        {false, true, true, false, true, false, View::Main},
        {false, true, true, true, false, false, View::Main},
        {false, true, false, false, false, true, View::Blocker},
        {false, true, false, false, false, false, View::Main},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ScopedDiaryHome home(QStringLiteral("Quillet"));
        arrange(home, rows[i]);
        auto d = test::launchDelegate();
        EXPECT_EQ(shownView(*d), rows[i].expected) << "row " << i;
        const bool main = rows[i].expected == View::Main;
        EXPECT_EQ(d->window()->toolbar->isHidden(), !main) << "row " << i;
        EXPECT_EQ(d->window()->toolbarToggleAction->isVisible(), main) << "row " << i;
        Utility::sharedUtility()->setICloudSupportedForTesting(false);
    }
}

TEST(Routing, ShowingTheMainViewFocusesTheEditorAndRestoresTheStoredFont) {
    ScopedDiaryHome home;
    QFont stored(QStringLiteral("DejaVu Serif"));
    stored.setPointSizeF(21.5);
    Utility::sharedUtility()->setCurrentFont(stored);
    auto d = test::launchDelegate();
    d->window()->show();
    QApplication::setActiveWindow(d->window());
    d->searchField()->setFocus();
    QFont slid = d->editTextView()->font();
    slid.setPointSizeF(40);
    d->editTextView()->setFont(slid);
    d->windowDidBecomeKey();
    EXPECT_EQ(d->editTextView()->font().pointSizeF(), 21.5);
    EXPECT_EQ(QApplication::focusWidget(), d->editTextView());
}

TEST(Routing, CloudQuestionAnswersAreFinal) {
    ScopedDiaryHome home(QStringLiteral("Quillet"));
    arrange(home, {false, true, true, false, false, false, View::Question});
    auto d = test::launchDelegate();
    ASSERT_EQ(shownView(*d), View::Question);
    d->useCloudLater(nullptr);
    EXPECT_TRUE(Utility::sharedUtility()->isUseICloudAsked());
    EXPECT_EQ(shownView(*d), View::Main);
    d->windowDidBecomeKey();
    EXPECT_EQ(shownView(*d), View::Main);
    Utility::sharedUtility()->setICloudSupportedForTesting(false);
}

} // namespace
} // namespace quillet
