#include "diary/Utility.h"

#include "core/Bundle.h"
#include "core/StandardPaths.h"
#include "diary/ClockTicker.h"
#include "diary/DateTexts.h"
#include "diary/Edition.h"
#include "diary/PasscodeStorage.h"
#include "diary/SessionMarker.h"
#include "diary/StoreLocations.h"
#include "diary/ThemeNames.h"
#include "store/CloudContainer.h"

#include <QUuid>

namespace quillet {

Utility* Utility::sharedUtility() {
    // Made on first use, on the main thread, and kept until the process ends.
    static Utility* shared = new Utility;
    return shared;
}

Utility::Utility()
    : userDefalts_(std::make_unique<UserDefaults>()),
      edition_(std::make_unique<Edition>([] { return Bundle::mainBundle().bundleName(); })),
      themeNames_(std::make_unique<ThemeNames>(*edition_)),
      dateTexts_(std::make_unique<DateTexts>()),
      diarySettings_(
          std::make_unique<DiarySettings>(*userDefalts_, UserDefaults::standardUserDefaults())),
      storeLocations_(std::make_unique<StoreLocations>(
          *edition_, &StandardPaths::dataHome, &CloudContainer::URLForUbiquityContainerIdentifier)),
      passcodeStorage_(std::make_unique<PasscodeStorage>(*userDefalts_)),
      sessionMarker_(std::make_unique<SessionMarker>(
          [locations = storeLocations_.get()] { return locations->cloudStoreFolder(); })) {
    startClockTicker();
}

Utility::~Utility() = default;

DateFormatter* Utility::dateFormatter() const {
    return dateTexts_->dateFormatter();
}
DateFormatter* Utility::timeFormatter() const {
    return dateTexts_->timeFormatter();
}

// ---- Settings

void Utility::clearDefaults() {
    diarySettings_->clearDefaults();
}
std::optional<QFont> Utility::currentFont() {
    return diarySettings_->currentFont();
}
void Utility::setFontLookup(FontLookup lookup) {
    diarySettings_->setFontLookup(std::move(lookup));
}
void Utility::setCurrentFont(const std::optional<QFont>& font) {
    diarySettings_->setCurrentFont(font);
}
QString Utility::fontName(const QFont& font) {
    return DiarySettings::fontName(font);
}
bool Utility::isUseICloudAsked() {
    return diarySettings_->isUseICloudAsked();
}
void Utility::setIsUseICloudAsked(bool asked) {
    diarySettings_->setIsUseICloudAsked(asked);
}
bool Utility::isOldDataImported() {
    return diarySettings_->isOldDataImported();
}
void Utility::setIsOldDataImported(bool imported) {
    diarySettings_->setIsOldDataImported(imported);
}

// ---- Dates, the edition and identifiers

QString Utility::stringWithDateFormat(const QString& format, const QDateTime& date) {
    return dateTexts_->stringWithDateFormat(format, date);
}

QString Utility::stringOfTimeWithSystemFormat(const QDateTime& date) {
    return dateTexts_->stringOfTimeWithSystemFormat(date);
}

QStringList Utility::standaloneMonthSymbols() {
    return dateTexts_->standaloneMonthSymbols();
}
int Utility::monthTagForDate(const QDateTime& date) {
    return DateTexts::monthTagForDate(date);
}
int Utility::applicationModel() {
    return edition_->applicationModel();
}

QString Utility::createUUID() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// ---- Store folders and cloud availability

QString Utility::applicationSupportFolder() {
    return storeLocations_->applicationSupportFolder();
}
QString Utility::localStoreFolder() {
    return storeLocations_->localStoreFolder();
}
QString Utility::cloudStoreFolder() {
    return storeLocations_->cloudStoreFolder();
}
QString Utility::inferredStoreFolder() {
    return storeLocations_->inferredStoreFolder();
}
bool Utility::isICloudSupported() const {
    return storeLocations_->isICloudSupported();
}
void Utility::setICloudSupportedForTesting(bool on) {
    storeLocations_->setICloudSupportedForTesting(on);
}
bool Utility::isICloudEnabled() {
    return storeLocations_->isICloudEnabled();
}
bool Utility::isICloudStoreExist() {
    return storeLocations_->isICloudStoreExist();
}
bool Utility::isLocalStoreMigrated() {
    return storeLocations_->isLocalStoreMigrated();
}
bool Utility::isLocalStoreExist() {
    return storeLocations_->isLocalStoreExist();
}
bool Utility::isOldDataExist() {
    return storeLocations_->isOldDataExist();
}
bool Utility::canMoveLocalStoreToICloud() {
    return storeLocations_->canMoveLocalStoreToICloud();
}

void Utility::setCanMoveLocalStoreToICloud(bool value) {
    Q_UNUSED(value);
    emit canMoveLocalStoreToICloudChanged();
}

QString Utility::ubiquityContainerIdentifier() const {
    return storeLocations_->ubiquityContainerIdentifier();
}

QString Utility::cloudContainerURL() const {
    return storeLocations_->cloudContainerURL();
}

// ---- Passcode storage and the session marker

bool Utility::isPasscodeValid(const QString& candidate) {
    return passcodeStorage_->isPasscodeValid(candidate);
}

bool Utility::setPasscode(const QString& passcode) {
    return passcodeStorage_->setPasscode(passcode);
}
QString Utility::passcode() {
    return passcodeStorage_->passcode();
}
bool Utility::isPasscodeLocked() {
    return passcodeStorage_->isPasscodeLocked();
}
bool Utility::setIsPasscodeLocked(bool locked) {
    return passcodeStorage_->setIsPasscodeLocked(locked);
}
QString Utility::sessionID() {
    return sessionMarker_->sessionID();
}
void Utility::setSessionID(const QString& identifier) {
    sessionMarker_->setSessionID(identifier);
}

// ---- Clock ticker

void Utility::startClockTicker() {
    // The ticks name this object as their sender, whichever ticker posts them.
    clockTicker_ = new ClockTicker(this, this);
}

QVariantMap Utility::userInfo() const {
    return ClockTicker::userInfo();
}

void Utility::tickClock(QTimer* timer) {
    Q_UNUSED(timer);
    clockTicker_->tick();
}

// ---- Themes

bool Utility::isDarkAppearance() const {
    return themeNames_->isDark();
}

void Utility::setDarkAppearance(bool dark) {
    if (dark != themeNames_->isDark()) {
        themeNames_->setDark(dark);
        emit appearanceChanged();
    }
}

QString Utility::themeVariantImageName(const QString& name) const {
    return themeNames_->variantImageName(name);
}

QString Utility::themeName() {
    return themeNames_->themeName();
}
QString Utility::themeCellImageName() {
    return themeNames_->themeCellImageName();
}
QString Utility::themeBarImageName() {
    return themeNames_->themeBarImageName();
}
QString Utility::themeIconImageName() {
    return themeNames_->themeIconImageName();
}
QString Utility::themeFooterImageName() {
    return themeNames_->themeFooterImageName();
}
QString Utility::themeBackgroundImageName() {
    return themeNames_->themeBackgroundImageName();
}
QString Utility::themePasscodeImageName() {
    return themeNames_->themePasscodeImageName();
}
QString Utility::themeTrashImageName() {
    return themeNames_->themeTrashImageName();
}
QString Utility::themePickerImageName() {
    return themeNames_->themePickerImageName();
}

QString Utility::themePickerHighlightImageName() {
    return themeNames_->themePickerHighlightImageName();
}

QString Utility::imageName(const QString& pattern, int number) {
    return ThemeNames::imageName(pattern, number);
}

} // namespace quillet
