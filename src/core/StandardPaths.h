#pragma once

#include <QString>

namespace quillet {

// The user's folders by the XDG conventions, asked afresh on every call.
// Null when neither the XDG variable nor an absolute $HOME names one.
class StandardPaths {
public:
    static QString homePath();
    static QString configHome(); // $XDG_CONFIG_HOME or ~/.config
    static QString dataHome();   // $XDG_DATA_HOME or ~/.local/share
    static QString cacheHome();  // $XDG_CACHE_HOME or ~/.cache
};

} // namespace quillet
