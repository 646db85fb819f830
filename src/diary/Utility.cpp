#include "diary/Utility.h"

#include "core/Alerts.h"
#include "core/Application.h"
#include "core/Bundle.h"
#include "core/Calendar.h"
#include "store/CloudContainer.h"
#include "core/Log.h"
#include "core/MainThread.h"
#include "core/NotificationCenter.h"
#include "core/PropertyList.h"
#include "core/StandardPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUuid>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace quillet {

namespace {
const QString kPasscode = QStringLiteral("passcode");
const QString kPasscodeLocked = QStringLiteral("passcodeLocked");
const QString kCurrentFontName = QStringLiteral("currentFontName");
const QString kCurrentFontSize = QStringLiteral("currentFontSize");
const QString kIsUseICloudAsked = QStringLiteral("isUseICloudAsked");
const QString kIsOldDataImported = QStringLiteral("isOldDataImported");
const QString kStoreFileName = QStringLiteral("entries.sqlite");

std::atomic<bool> g_defaultsCleared{false};

bool fileExists(const QString& folder, const QString& name) {
    return !folder.isEmpty() && QFileInfo::exists(folder + QLatin1Char('/') + name);
}

} // namespace

Utility* Utility::sharedUtility() {
    // Made on first use, on the main thread, and kept until the process ends.
    static Utility* shared = new Utility;
    return shared;
}

Utility::Utility() {
    userDefalts_ = std::make_unique<UserDefaults>();
    dateFormatter_ = std::make_unique<DateFormatter>();
    timeFormatter_ = std::make_unique<DateFormatter>();
    startClockTicker();
}

Utility::~Utility() = default;

void Utility::clearDefaults() {
    if (g_defaultsCleared.exchange(true)) {
        return;
    }
    UserDefaults& standard = UserDefaults::standardUserDefaults();
    const QStringList keys = standard.allKeys();
    for (const QString& key : keys) {
        standard.removeObjectForKey(key);
    }
    standard.synchronize();
}

QString Utility::stringWithDateFormat(const QString& format, const QDateTime& date) {
    dateFormatter_->setDateFormat(format);
    return dateFormatter_->stringFromDate(date);
}

QString Utility::stringOfTimeWithSystemFormat(const QDateTime& date) {
    timeFormatter_->setDateStyle(DateFormatter::Style::None);
    timeFormatter_->setTimeStyle(DateFormatter::Style::Short);
    return timeFormatter_->stringFromDate(date);
}

QStringList Utility::standaloneMonthSymbols() {
    return dateFormatter_->standaloneMonthSymbols();
}

int Utility::monthTagForDate(const QDateTime& date) {
    // The number "yyyyMM" stands for, taken from the calendar: the formatted
    // text uses the locale's own digits, which do not always read back as a number.
    const DateComponents c = Calendar::currentCalendar().components(date);
    return c.year * 100 + c.month;
}

std::optional<QFont> Utility::currentFont() {
    QString name = userDefalts_->stringForKey(kCurrentFontName);
    float size = userDefalts_->floatForKey(kCurrentFontSize);
    if (size == 0.0f) {
        size = 30.0f;
    }
    if (name.isNull()) {
        Log::write(QStringLiteral("null currentFontName"));
        name = QStringLiteral("Helvetica");
    }
    if (size < 12.0f) {
        Log::write(QStringLiteral("currentFontSize less then 12"));
        size = 12.0f;
    }
    return fontLookup_ ? fontLookup_(name, double(size)) : std::nullopt;
}

QString Utility::fontName(const QFont& font) {
    const QString style = font.styleName();
    if (style.isEmpty() || style == QLatin1String("Regular") || style == QLatin1String("Book") ||
        style == QLatin1String("Normal")) {
        return font.family();
    }
    return font.family() + QLatin1Char('-') + style;
}

void Utility::setCurrentFont(const std::optional<QFont>& font) {
    if (!font) {
        Log::write(QStringLiteral("null currentFont"));
        return;
    }
    userDefalts_->setObject(fontName(*font), kCurrentFontName);
    userDefalts_->setFloat(float(font->pointSizeF()), kCurrentFontSize);
    userDefalts_->synchronize();
}

bool Utility::isUseICloudAsked() {
    return userDefalts_->boolForKey(kIsUseICloudAsked);
}

void Utility::setIsUseICloudAsked(bool asked) {
    userDefalts_->setBool(asked, kIsUseICloudAsked);
    userDefalts_->synchronize();
}

bool Utility::isOldDataImported() {
    return userDefalts_->boolForKey(kIsOldDataImported);
}

void Utility::setIsOldDataImported(bool imported) {
    userDefalts_->setBool(imported, kIsOldDataImported);
    userDefalts_->synchronize();
}

int Utility::applicationModel() {
    const QString name = Bundle::mainBundle().bundleName();
    if (name == QLatin1String("Wrenfold")) {
        return 2;
    }
    if (name == QLatin1String("Quillet2")) {
        return 1;
    }
    return 0;
}

QString Utility::createUUID() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// ---- Store folders and cloud availability

QString Utility::applicationSupportFolder() {
    const QString data = StandardPaths::dataHome();
    if (data.isEmpty()) {
        // The old-data import asks from its own thread; the alert and the quit
        // belong to the main thread, and the asking thread waits for them.
        MainThread::run(
            [] {
                Alerts::runAlertPanel(QStringLiteral("Alert"),
                                      QStringLiteral("Can't find application support folder"),
                                      QStringLiteral("Quit"));
                Application::terminate();
            },
            true);
        return QString();
    }
    return data + QStringLiteral("/QuilletMac");
}

QString Utility::localStoreFolder() {
    const QString data = StandardPaths::dataHome();
    if (data.isEmpty()) {
        return QString();
    }
    QString name = Bundle::mainBundle().bundleName();
    if (name.isEmpty()) {
        name = QStringLiteral("Quillet");
    }
    const QString folder = data + QLatin1Char('/') + name;
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder)) {
        // The diary is private.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

QString Utility::ubiquityContainerIdentifier() const {
    return QStringLiteral("7QW2E9R4T1.org.quillet.diary");
}

QString Utility::cloudContainerURL() const {
    return CloudContainer::URLForUbiquityContainerIdentifier(ubiquityContainerIdentifier());
}

QString Utility::cloudStoreFolder() {
    const QString container = cloudContainerURL();
    if (container.isEmpty()) {
        return QString();
    }
    const QString folder = container + QStringLiteral("/.nosync");
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return folder;
        }
        Alerts::presentError(Error{
            QStringLiteral("YOUR_ERROR_DOMAIN"), 101,
            QStringLiteral("Expected a folder to store application data, found a file (%1).").arg(folder)});
        return QString();
    }
    const int reason = errno;
    if (reason == ENOENT) {
        if (QDir().mkpath(folder)) {
            // It may hold the diary, inside a folder other programs sync.
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return folder;
        }
        Alerts::presentError(Error{kFileErrorDomain, FileWriteUnknownError,
                                   QStringLiteral("The folder \u201c%1\u201d could not be created.").arg(folder)});
        return QString();
    }
    Alerts::presentError(Error{kFileErrorDomain, FileReadUnknownError,
                               QStringLiteral("The folder \u201c%1\u201d could not be read: %2.")
                                   .arg(folder, QString::fromLocal8Bit(std::strerror(reason)))});
    return QString();
}

QString Utility::inferredStoreFolder() {
    if (applicationModel() == 2) {
        return localStoreFolder();
    }
    if (!isICloudSupported()) {
        return localStoreFolder();
    }
    if (!isICloudEnabled()) {
        return isLocalStoreMigrated() ? QString() : localStoreFolder();
    }
    if (isICloudStoreExist()) {
        return cloudStoreFolder();
    }
    return localStoreFolder();
}

bool Utility::isICloudEnabled() {
    return !cloudContainerURL().isEmpty();
}

bool Utility::isICloudStoreExist() {
    if (!isICloudEnabled()) {
        return false;
    }
    return fileExists(cloudStoreFolder(), kStoreFileName);
}

bool Utility::isLocalStoreMigrated() {
    return fileExists(localStoreFolder(), kStoreFileName + QStringLiteral(".bak"));
}

bool Utility::isLocalStoreExist() {
    return fileExists(localStoreFolder(), kStoreFileName);
}

bool Utility::isOldDataExist() {
    return fileExists(applicationSupportFolder(), QStringLiteral("Quillet.sqlite"));
}

bool Utility::canMoveLocalStoreToICloud() {
    if (!isICloudEnabled()) {
        return true;
    }
    return isICloudStoreExist();
}

void Utility::setCanMoveLocalStoreToICloud(bool value) {
    Q_UNUSED(value);
    emit canMoveLocalStoreToICloudChanged();
}

// ---- Passcode storage and the session marker

bool Utility::isPasscodeValid(const QString& candidate) {
    const QVariant stored = userDefalts_->objectForKey(kPasscode);
    if (!stored.isValid()) {
        return false;
    }
    return stored.toString() == candidate;
}

void Utility::setPasscode(const QString& passcode) {
    userDefalts_->setObject(passcode, kPasscode);
    userDefalts_->synchronize();
}

QString Utility::passcode() {
    return userDefalts_->stringForKey(kPasscode);
}

bool Utility::isPasscodeLocked() {
    // A lock with no passcode to open it (a damaged settings file) would shut
    // the user out of the diary for good; it counts as no lock.
    return userDefalts_->boolForKey(kPasscodeLocked) && !passcode().isEmpty();
}

void Utility::setIsPasscodeLocked(bool locked) {
    userDefalts_->setBool(locked, kPasscodeLocked);
    userDefalts_->synchronize();
}

QString Utility::sessionID() {
    if (cloudStoreFolder().isEmpty()) {
        return QString();
    }
    const std::optional<QVariantMap> plist =
        PropertyList::readDictionary(cloudStoreFolder() + QStringLiteral("/sessionID.plist"));
    if (!plist) {
        return QString();
    }
    const QVariant value = plist->value(QStringLiteral("sessionID"));
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void Utility::setSessionID(const QString& identifier) {
    if (cloudStoreFolder().isEmpty()) {
        return;
    }
    PropertyList::writeDictionary({{QStringLiteral("sessionID"), identifier}},
                                  cloudStoreFolder() + QStringLiteral("/sessionID.plist"));
}

// ---- Clock ticker

QVariantMap Utility::userInfo() const {
    return {{QStringLiteral("StartDate"), QDateTime::currentDateTime()}};
}

void Utility::startClockTicker() {
    auto* timer = new QTimer(this);
    timer->setInterval(3000);
    timer->setProperty("userInfo", userInfo());
    connect(timer, &QTimer::timeout, this, [this, timer] { tickClock(timer); });
    timer->start();
    // The first tick is due at once.
    QTimer::singleShot(0, this, [this, timer] { tickClock(timer); });
}

void Utility::tickClock(QTimer* timer) {
    Q_UNUSED(timer);
    // A modal dialog runs its own loop; ticks that fall in it are dropped, not replayed.
    if (Application::isModalSessionRunning()) {
        return;
    }
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("clockTicked"), this);
}

// ---- Themes

QString Utility::themeName() {
    return applicationModel() == 2 ? QStringLiteral("eco") : QStringLiteral("basic");
}

QString Utility::themeCellImageName() { return themeName() + QStringLiteral("_cell_%i.png"); }
QString Utility::themeBarImageName() { return themeName() + QStringLiteral("_bar_%i.png"); }
QString Utility::themeIconImageName() { return themeName() + QStringLiteral("_icon_%i.png"); }
QString Utility::themeFooterImageName() { return themeName() + QStringLiteral("_foot_%i.png"); }
QString Utility::themeBackgroundImageName() { return themeName() + QStringLiteral("_back_desk_%i.png"); }
QString Utility::themePasscodeImageName() { return themeName() + QStringLiteral("_pass_desk_%i.png"); }
QString Utility::themeTrashImageName() { return themeName() + QStringLiteral("_trash_%i.png"); }
QString Utility::themePickerImageName() { return themeName() + QStringLiteral("_pick_%i.png"); }
QString Utility::themePickerHighlightImageName() {
    return themeName() + QStringLiteral("_pick_high_%i.png");
}

QString Utility::imageName(const QString& pattern, int number) {
    QString name = pattern;
    return name.replace(QStringLiteral("%i"), QString::number(number));
}

} // namespace quillet
