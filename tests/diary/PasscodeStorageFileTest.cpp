// The passcode storage on a settings file written before this run, as a
// previous launch (or a damaged copy) left it.
#include "DiaryFiles.h"
#include "TestSupport.h"

#include "core/UserDefaults.h"
#include "diary/PasscodeStorage.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

QString settingsFile(const QByteArray& content) {
    const QString path = test::makeTempDir() + QStringLiteral("/settings.conf");
    EXPECT_TRUE(test::writeBytes(path, content));
    return path;
}

TEST(PasscodeStorageFile, AStoredPasscodeIsReadBackLetterForLetter) {
    UserDefaults defaults(settingsFile("[General]\npasscode=0042\npasscodeLocked=true\n"));
    PasscodeStorage storage(defaults);
    EXPECT_TRUE(storage.isPasscodeLocked());
    EXPECT_EQ(storage.passcode(), QStringLiteral("0042"));
    EXPECT_TRUE(storage.isPasscodeValid(QStringLiteral("0042")));
    EXPECT_FALSE(storage.isPasscodeValid(QStringLiteral("42"))) << "leading zeros count";

    // Written and read again through another object on the same file, as the next launch does.
    storage.setPasscode(QStringLiteral("0007"));
    UserDefaults nextLaunch(defaults.filePath());
    PasscodeStorage reread(nextLaunch);
    EXPECT_TRUE(reread.isPasscodeValid(QStringLiteral("0007")));
    EXPECT_TRUE(reread.isPasscodeLocked());
}

TEST(PasscodeStorageFile, ALockWithAnEmptyPasscodeIsNoLock) {
    UserDefaults defaults(settingsFile("[General]\npasscode=\npasscodeLocked=true\n"));
    PasscodeStorage storage(defaults);
    EXPECT_FALSE(storage.isPasscodeLocked());
    // Locking again is not enough; a passcode to open the lock is.
    storage.setIsPasscodeLocked(true);
    EXPECT_FALSE(storage.isPasscodeLocked());
    storage.setPasscode(QStringLiteral("1357"));
    EXPECT_TRUE(storage.isPasscodeLocked());
}

} // namespace
} // namespace quillet
