#include "core/UserDefaults.h"

#include "core/Bundle.h"
#include "core/StandardPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <fcntl.h>
#include <unistd.h>

namespace quillet {

namespace {
constexpr auto kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;
}

QString UserDefaults::defaultFilePath() {
    QString name = Bundle::mainBundle().bundleName();
    if (name.isEmpty()) {
        name = QStringLiteral("Quillet");
    }
    return StandardPaths::configHome() + QLatin1Char('/') + name + QLatin1Char('/') + name +
           QStringLiteral(".conf");
}

UserDefaults::UserDefaults() : UserDefaults(defaultFilePath()) {}

UserDefaults::UserDefaults(const QString& filePath)
    : path_(filePath), settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {
    restrictPermissions();
}

UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standardUserDefaults() {
    static UserDefaults defaults;
    return defaults;
}

void UserDefaults::restrictPermissions() const {
    const QFileInfo info(path_);
    QDir().mkpath(info.absolutePath());
    QFile::setPermissions(info.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Create the file owner-only before the first write, so it is never readable by others.
    const QByteArray native = QFile::encodeName(path_);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    }
    if (QFile::exists(path_) && QFile::permissions(path_) != kOwnerOnly) {
        QFile::setPermissions(path_, kOwnerOnly);
    }
}

QVariant UserDefaults::objectForKey(const QString& key) const {
    return settings_->value(key);
}

QString UserDefaults::stringForKey(const QString& key) const {
    const QVariant v = settings_->value(key);
    return v.isValid() ? v.toString() : QString();
}

bool UserDefaults::boolForKey(const QString& key) const {
    return settings_->value(key).toBool();
}

float UserDefaults::floatForKey(const QString& key) const {
    return settings_->value(key).toFloat();
}

int UserDefaults::integerForKey(const QString& key) const {
    return settings_->value(key).toInt();
}

void UserDefaults::setObject(const QVariant& value, const QString& key) {
    if (!value.isValid()) {
        settings_->remove(key);
    } else {
        settings_->setValue(key, value);
    }
}

void UserDefaults::setBool(bool value, const QString& key) {
    settings_->setValue(key, value);
}

void UserDefaults::setFloat(float value, const QString& key) {
    // Stored as text with enough digits to come back as the same float.
    settings_->setValue(key, QString::number(double(value), 'g', 9));
}

void UserDefaults::setInteger(int value, const QString& key) {
    settings_->setValue(key, value);
}

void UserDefaults::removeObjectForKey(const QString& key) {
    settings_->remove(key);
}

QStringList UserDefaults::allKeys() const {
    return settings_->allKeys();
}

bool UserDefaults::synchronize() {
    restrictPermissions();
    settings_->sync();
    restrictPermissions();
    return settings_->status() == QSettings::NoError;
}

QString UserDefaults::filePath() const {
    return path_;
}

} // namespace quillet
