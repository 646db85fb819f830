#include "core/Bundle.h"

#include <QMutex>

namespace quillet {

namespace {
QMutex& bundleMutex() {
    static QMutex mutex;
    return mutex;
}
} // namespace

Bundle& Bundle::mainBundle() {
    static Bundle bundle;
    return bundle;
}

QString Bundle::bundleName() const {
    QMutexLocker lock(&bundleMutex());
    return name_;
}

void Bundle::setBundleName(const QString& name) {
    QMutexLocker lock(&bundleMutex());
    name_ = name;
}

} // namespace quillet
