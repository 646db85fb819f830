#pragma once

#include "core/Error.h"

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace quillet {

// Asked when the diary file was moved, replaced or deleted while open: the
// edits since are only in memory, and the one way to keep them is a new file.
class LostDiaryFileAlert {
    Q_DECLARE_TR_FUNCTIONS(LostDiaryFileAlert)

public:
    enum class Choice { SaveToNewFile, NotNow, QuitWithoutSaving };

    // Shows the error with "Save to a New File…" and, when quitting, "Quit
    // Without Saving"; for SaveToNewFile, *path is the file chosen in the save
    // dialog (which starts at suggestedPath). Cancelling the dialog is NotNow.
    static Choice ask(QWidget* parent, const Error& error, const QString& suggestedPath,
                      bool quitting, QString* path);
};

} // namespace quillet
