#include "diary/Edition.h"

namespace quillet {

Edition::Edition(NameSource bundleName) : bundleName_(std::move(bundleName)) {}

QString Edition::bundleName() const {
    return bundleName_ ? bundleName_() : QString();
}

int Edition::applicationModel() const {
    const QString name = bundleName();
    if (name == QLatin1String("Wrenfold")) {
        return 2;
    }
    if (name == QLatin1String("Quillet2")) {
        return 1;
    }
    return 0;
}

QString Edition::displayName() const {
    return applicationModel() == 2 ? QStringLiteral("Wrenfold") : QStringLiteral("Quillet");
}

} // namespace quillet
