#pragma once

#include <QString>

namespace quillet {

// The running program's identity. Each edition's executable names itself at
// start-up; tests may give the process any name, or none (a null name).
class Bundle {
public:
    static Bundle& mainBundle();

    // The bundle name (what the description of the bundle calls CFBundleName);
    // null when the process never named itself.
    QString bundleName() const;
    void setBundleName(const QString& name);

private:
    Bundle() = default;
    QString name_;
};

} // namespace quillet
