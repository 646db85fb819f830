#pragma once

#include <QString>

namespace quillet {

// Opens a text file for the user to read. Behind an interface so that the
// export can be checked without starting a program.
class TextEditorLauncher {
public:
    virtual ~TextEditorLauncher();
    // False when the file could not be handed to an editor; the reason is logged.
    virtual bool openFile(const QString& path) = 0;
};

} // namespace quillet
