#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class QSettings;

namespace quillet {

// The application's settings for the current user, in an INI file
// $XDG_CONFIG_HOME/<bundle name>/<bundle name>.conf that only its owner may
// read (it holds the passcode). An absent key reads as its type's empty value.
class UserDefaults {
public:
    // The settings file of the running bundle, as named at the time of the call.
    UserDefaults();
    explicit UserDefaults(const QString& filePath);
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    static UserDefaults& standardUserDefaults();
    static QString defaultFilePath();

    QVariant objectForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    float floatForKey(const QString& key) const;
    int integerForKey(const QString& key) const;

    void setObject(const QVariant& value, const QString& key);
    void setBool(bool value, const QString& key);
    void setFloat(float value, const QString& key);
    void removeObjectForKey(const QString& key);

    QStringList allKeys() const;
    // Writes pending changes to the file. When it could not be written the
    // user is told, the unwritten changes are dropped, and the answer is false.
    bool synchronize();
    QString filePath() const;

private:
    void restrictPermissions() const;
    QString whyNotWritable() const;
    void rememberBefore(const QString& key);
    QString path_;
    std::unique_ptr<QSettings> settings_;
    // The values the changes not yet written replaced (invalid: absent).
    QVariantMap before_;
};

} // namespace quillet
