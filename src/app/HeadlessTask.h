#pragma once

#include <QStringList>

namespace quillet {

// What --import and --export do: the user's diary without a window (and
// without a display). An import goes to the window when the diary is open
// in one. Answers the exit status: 0 only when everything was done.
namespace HeadlessTask {
int run(const QStringList& task);
} // namespace HeadlessTask

} // namespace quillet
