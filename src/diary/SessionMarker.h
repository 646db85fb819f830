#pragma once

#include <QString>
#include <functional>

namespace quillet {

// The session marker: "sessionID.plist", a one-entry property list in the
// cloud store folder, rewritten with a fresh identifier at each launch that
// has the cloud. Without a folder nothing is read or written.
class SessionMarker {
public:
    // The folder to keep the marker in, asked at every call; null for none.
    using FolderSource = std::function<QString()>;
    explicit SessionMarker(FolderSource folder);

    // Null when there is no folder, no file, or no string under "sessionID".
    QString sessionID() const;
    // Replaces the file whole; a failed write is not reported.
    void setSessionID(const QString& identifier);

private:
    FolderSource folder_;
};

} // namespace quillet
