#pragma once

#include "diary/export/TextEditorLauncher.h"

namespace quillet {

// The program named by QUILLET_TEXT_EDITOR, started detached with the file as
// its one argument and no shell in between; without that variable the
// desktop's default application for the file.
class SystemTextEditorLauncher : public TextEditorLauncher {
public:
    bool openFile(const QString& path) override;
};

} // namespace quillet
