#include "core/UserDefaults.h"

#include "core/Alerts.h"
#include "core/Bundle.h"
#include "core/PrivateFolder.h"
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
    PrivateFolder::makePath(info.absolutePath());
    QFile::setPermissions(info.absolutePath(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
    rememberBefore(key);
    if (!value.isValid()) {
        settings_->remove(key);
    } else {
        settings_->setValue(key, value);
    }
}

void UserDefaults::setBool(bool value, const QString& key) {
    rememberBefore(key);
    settings_->setValue(key, value);
}

void UserDefaults::setFloat(float value, const QString& key) {
    rememberBefore(key);
    // Stored as text with enough digits to come back as the same float.
    settings_->setValue(key, QString::number(double(value), 'g', 9));
}

void UserDefaults::removeObjectForKey(const QString& key) {
    rememberBefore(key);
    settings_->remove(key);
}

QStringList UserDefaults::allKeys() const {
    return settings_->allKeys();
}

bool UserDefaults::synchronize() {
    restrictPermissions();
    if (settings_->status() != QSettings::NoError) {
        // QSettings keeps an error once it had one. A fresh object (it shares
        // the file's pending changes) answers for this write alone.
        settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    }
    settings_->sync();
    restrictPermissions();
    if (settings_->status() == QSettings::NoError) {
        before_.clear();
        return true;
    }
    // What could not be written is taken back: this launch then shows what the
    // next one will find (a passcode lock that was not stored is not shown as on).
    for (auto it = before_.cbegin(); it != before_.cend(); ++it) {
        if (it.value().isValid()) {
            settings_->setValue(it.key(), it.value());
        } else {
            settings_->remove(it.key());
        }
    }
    before_.clear();
    Alerts::presentError(
        Error{kFileErrorDomain, FileWriteUnknownError,
              QStringLiteral("Your settings could not be saved to \u201c%1\u201d (%2). "
                             "The change was not kept.")
                  .arg(path_, whyNotWritable())});
    return false;
}

void UserDefaults::rememberBefore(const QString& key) {
    if (!before_.contains(key)) {
        before_.insert(key, settings_->value(key));
    }
}

QString UserDefaults::whyNotWritable() const {
    const QFileInfo info(path_);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists()) {
        return QStringLiteral("its folder is missing and could not be made");
    }
    if (!folder.isDir()) {
        return QStringLiteral("\u201c%1\u201d is not a folder").arg(folder.absoluteFilePath());
    }
    if (info.exists() && ::access(QFile::encodeName(path_).constData(), W_OK) != 0) {
        return QStringLiteral("the file can't be written");
    }
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0) {
        return QStringLiteral("its folder can't be written");
    }
    return QStringLiteral("the disk refused the write");
}

QString UserDefaults::filePath() const {
    return path_;
}

} // namespace quillet
