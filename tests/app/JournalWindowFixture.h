#pragma once

#include "AppTestSupport.h"

#include "app/AppDelegate.h"
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

namespace quillet::test {

// A launched diary in a fresh home with its main window shown and active,
// so that focus changes really happen.
class JournalWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::make_unique<ScopedDiaryHome>();
        delegate = launchDelegate();
        window = delegate->window();
        window->resize(1024, 680);
        window->show();
        activate(window);
    }

    void TearDown() override {
        if (window) {
            window->hide();
        }
    }

    static void activate(QWidget* w) {
        w->activateWindow();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }

    std::unique_ptr<ScopedDiaryHome> home;
    std::unique_ptr<AppDelegate> delegate;
    MainWindow* window = nullptr;
};

} // namespace quillet::test
