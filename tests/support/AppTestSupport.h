#pragma once

#include "DiaryHome.h"
#include "diary/export/TextEditorLauncher.h"

#include <QStringList>

#include <memory>

namespace quillet {
class AppDelegate;
}

namespace quillet::test {

// An application delegate with its interface loaded and its launch run, as
// at start-up, without showing the window.
std::unique_ptr<AppDelegate> launchDelegate();

// Counts the files handed to the text editor instead of opening one.
class CountingLauncher : public TextEditorLauncher {
public:
    bool openFile(const QString& path) override {
        opened.append(path);
        return true;
    }
    QStringList opened;
};

} // namespace quillet::test
