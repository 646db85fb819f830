#pragma once

#include <QString>

namespace quillet {

// Every folder the application makes goes through here. Each folder it
// creates, parents included (~/.config, ~/.local/share, ~/.cache on a fresh
// account), is its owner's alone (0700) whatever the umask; a folder that is
// already there is left as it is.
namespace PrivateFolder {

// Makes the folder and any missing parents. True when it is a folder
// afterwards; otherwise false, with the reason (strerror's text) in reason.
bool makePath(const QString& path, QString* reason = nullptr);

// Makes the folders of `relative` below `base` (which must be there), each
// 0700. Inside a folder that others fill (the cloud container) a folder that
// is already there must be a real folder (not a link) of this user's own:
// otherwise false, and the reason names it.
bool makeOwnPath(const QString& base, const QString& relative, QString* reason = nullptr);

} // namespace PrivateFolder

} // namespace quillet
