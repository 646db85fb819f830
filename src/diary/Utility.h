#pragma once

#include "core/DateFormatter.h"
#include "core/Error.h"
#include "core/UserDefaults.h"
#include "diary/DiarySettings.h"

#include <QDateTime>
#include <QFont>
#include <QObject>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace quillet {

class ClockTicker;
class DateTexts;
class Edition;
class PasscodeStorage;
class SessionMarker;
class StoreLocations;
class ThemeNames;

// The one shared services object of the process. It builds the diary's small
// services and answers for them: the settings, date formatting, identifiers,
// the edition, the store folders and cloud availability, the passcode
// storage, the session marker, the clock ticker and the theme image names.
// Code that needs only one of them can be handed that service instead.
// Answers about folders, settings and the edition are asked afresh at every
// call; nothing of them is cached.
class Utility : public QObject {
    Q_OBJECT
public:
    static Utility* sharedUtility();
    Utility();
    ~Utility() override;

    UserDefaults* userDefalts() const { return userDefalts_.get(); }
    DateFormatter* dateFormatter() const;
    DateFormatter* timeFormatter() const;

    // The services themselves, for callers that need only one.
    Edition& edition() const { return *edition_; }
    StoreLocations& storeLocations() const { return *storeLocations_; }

    // Removes every setting of the application, once per process.
    void clearDefaults();

    QString stringWithDateFormat(const QString& format, const QDateTime& date);
    QString stringOfTimeWithSystemFormat(const QDateTime& date);
    QStringList standaloneMonthSymbols();
    // The integer of "yyyyMM" for the date in the local time zone (201203).
    int monthTagForDate(const QDateTime& date);

    // The editor font from the settings, with the fallbacks; none when the
    // font lookup finds nothing for the stored name (or none was given).
    std::optional<QFont> currentFont();
    // Finds the installed font of a stored name ("Family" or "Family-Style").
    // The font database belongs to the windowing side, which hands it in.
    using FontLookup = DiarySettings::FontLookup;
    void setFontLookup(FontLookup lookup);
    void setCurrentFont(const std::optional<QFont>& font);
    // The name a font is stored under ("Family" or "Family-Style").
    static QString fontName(const QFont& font);

    bool isUseICloudAsked();
    void setIsUseICloudAsked(bool asked);
    bool isOldDataImported();
    void setIsOldDataImported(bool imported);

    // 2 for "Wrenfold", 1 for "Quillet2", 0 for any other bundle name or none.
    int applicationModel();
    QString createUUID();

    // Store folders and cloud availability (paths; null for none).
    QString applicationSupportFolder();
    QString localStoreFolder();
    QString cloudStoreFolder();
    QString inferredStoreFolder();
    bool isICloudSupported() const;
    // The switch is fixed off in the product; tests turn it on to check the rules.
    void setICloudSupportedForTesting(bool on);
    bool isICloudEnabled();
    bool isICloudStoreExist();
    bool isLocalStoreMigrated();
    bool isLocalStoreExist();
    bool isOldDataExist();
    bool canMoveLocalStoreToICloud();
    // Stores nothing: tells the observers of canMoveLocalStoreToICloud to ask again.
    void setCanMoveLocalStoreToICloud(bool value);
    QString ubiquityContainerIdentifier() const;
    QString cloudContainerURL() const;

    // Passcode storage and the session marker.
    bool isPasscodeValid(const QString& candidate);
    // False when the settings could not be written (the user is told).
    bool setPasscode(const QString& passcode);
    QString passcode();
    bool isPasscodeLocked();
    bool setIsPasscodeLocked(bool locked);
    QString sessionID();
    void setSessionID(const QString& identifier);

    // The clock ticker: "clockTicked" now and every 3.0 seconds on this
    // thread's event loop, skipped while a modal dialog runs.
    void startClockTicker();
    QVariantMap userInfo() const;
    void tickClock(QTimer* timer);

    // Theme and image names.
    QString themeName();
    QString themeCellImageName();
    QString themeBarImageName();
    QString themeIconImageName();
    QString themeFooterImageName();
    QString themeBackgroundImageName();
    QString themePasscodeImageName();
    QString themeTrashImageName();
    QString themePickerImageName();
    QString themePickerHighlightImageName();
    // A pattern with its "%i" filled by the number.
    static QString imageName(const QString& pattern, int number);
    // The desktop's light or dark look, which the theme follows.
    bool isDarkAppearance() const;
    void setDarkAppearance(bool dark);
    QString themeVariantImageName(const QString& name) const;

signals:
    void appearanceChanged();
    void canMoveLocalStoreToICloudChanged();

private:
    std::unique_ptr<UserDefaults> userDefalts_;
    std::unique_ptr<Edition> edition_;
    std::unique_ptr<ThemeNames> themeNames_;
    std::unique_ptr<DateTexts> dateTexts_;
    std::unique_ptr<DiarySettings> diarySettings_;
    std::unique_ptr<StoreLocations> storeLocations_;
    std::unique_ptr<PasscodeStorage> passcodeStorage_;
    std::unique_ptr<SessionMarker> sessionMarker_;
    // A child of this object; the latest one started answers tickClock.
    ClockTicker* clockTicker_ = nullptr;
};

} // namespace quillet
