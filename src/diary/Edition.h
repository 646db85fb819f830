#pragma once

#include <QString>
#include <functional>

namespace quillet {

// Which edition is running, told by the bundle name alone. The name is asked
// at every call, so a process that renames itself changes edition at once.
class Edition {
public:
    using NameSource = std::function<QString()>;
    explicit Edition(NameSource bundleName);

    QString bundleName() const;
    // 2 for "Wrenfold", 1 for "Quillet2", 0 for any other bundle name or none.
    int applicationModel() const;
    // The name the user sees on the window and in About: "Wrenfold" for that
    // edition, "Quillet" for the others.
    QString displayName() const;

private:
    NameSource bundleName_;
};

} // namespace quillet
