#pragma once

#include <QString>

namespace quillet {

// A file made, renamed or removed in a folder survives a power loss only once
// the folder itself is on disk: called after such a change. Best effort: a
// folder that can't be opened is left as it is.
void syncFolder(const QString& folder);

} // namespace quillet
