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

// A settings file holding a locked passcode stored as written.
QString lockedWith(const QByteArray& stored) {
    return settingsFile("[General]\npasscode=" + stored + "\npasscodeLocked=true\n");
}

TEST(PasscodeStorageFile, ALockWithAnEmptyPasscodeIsNoLock) {
    UserDefaults defaults(lockedWith(""));
    PasscodeStorage storage(defaults);
    EXPECT_FALSE(storage.isPasscodeLocked());
    // Locking again is not enough; a passcode to open the lock is.
    storage.setIsPasscodeLocked(true);
    EXPECT_FALSE(storage.isPasscodeLocked());
    storage.setPasscode(QStringLiteral("1357"));
    EXPECT_TRUE(storage.isPasscodeLocked());
}

// A hand-edited or damaged settings file: a lock no typed entry could open
// is no lock; a stored passcode opens letter for letter (leading zeros count).
TEST(PasscodeStorageFile, OnlyFourDigitsStoredMakeALock) {
    // What is stored, and what opens it (null: no lock).
    const std::pair<const char*, const char*> cases[] = {
        {"1234", "1234"},
        {"0000", "0000"},
        {"0042", "0042"},
        {"abcd", nullptr},
        {"123", nullptr},
        {"12345", nullptr},
        {"12a4", nullptr},
        {"\" 1234\"", nullptr},
        {"\"12 4\"", nullptr},
        {"\"\"", nullptr},
        {"-123", nullptr},
        // Four Arabic-Indic digits, as an earlier version stored them: still four digits.
        {"\xd9\xa1\xd9\xa2\xd9\xa3\xd9\xa4", "1234"},
        // Superscripts are numbers but no digits: nothing types them.
        {"\xc2\xb9\xc2\xb2\xc2\xb3\xe2\x81\xb4", nullptr},
    };
    for (const auto& [stored, opensWith] : cases) {
        SCOPED_TRACE(stored);
        UserDefaults defaults(lockedWith(stored));
        PasscodeStorage storage(defaults);
        EXPECT_EQ(storage.isPasscodeLocked(), opensWith != nullptr);
        if (opensWith) {
            EXPECT_TRUE(storage.isPasscodeValid(QString::fromLatin1(opensWith)));
            EXPECT_FALSE(storage.isPasscodeValid(QStringLiteral("42")));
            continue;
        }
        // Nothing can be typed to open what is no lock.
        for (const QString& typed :
             {QStringLiteral("abcd"), QStringLiteral("1234"), QStringLiteral("123")}) {
            EXPECT_FALSE(storage.isPasscodeValid(typed)) << typed.toStdString();
        }
    }
    UserDefaults stored(lockedWith("0042"));
    EXPECT_EQ(PasscodeStorage(stored).passcode(), QStringLiteral("0042"));
}

TEST(PasscodeStorageFile, DigitsOfEveryScriptAreStoredAndComparedAsAscii) {
    UserDefaults defaults(settingsFile("[General]\n"));
    PasscodeStorage storage(defaults);
    ASSERT_TRUE(storage.setPasscode(QStringLiteral("\u06F1\u06F2\u06F3\u06F4"))); // Persian
    ASSERT_TRUE(storage.setIsPasscodeLocked(true));
    UserDefaults nextLaunch(defaults.filePath());
    EXPECT_EQ(nextLaunch.stringForKey(QStringLiteral("passcode")), QStringLiteral("1234"));
    PasscodeStorage reread(nextLaunch);
    EXPECT_TRUE(reread.isPasscodeLocked());
    for (const QString& typed : {QStringLiteral("1234"),
                                 QStringLiteral("\u0661\u0662\u0663\u0664"), // Arabic-Indic
                                 QStringLiteral("\uFF11\uFF12\uFF13\uFF14"), // full-width
                                 QStringLiteral("\u0967\u0968\u0969\u096A"), // Devanagari
                                 QString::fromUcs4(U"\U0001D7D9\U0001D7DA\U0001D7DB\U0001D7DC")}) {
        EXPECT_TRUE(reread.isPasscodeValid(typed)) << typed.toStdString();
    }
    for (const QString& typed :
         {QStringLiteral("1235"), QStringLiteral("\u0661\u0662\u0663"),
          QStringLiteral("\u00B9\u00B2\u00B3\u2074"), QStringLiteral("12345")}) {
        EXPECT_FALSE(reread.isPasscodeValid(typed)) << typed.toStdString();
    }
    EXPECT_EQ(PasscodeStorage::foldDigits(QStringLiteral("a\u0663\u00B2-")),
              QStringLiteral("a3\u00B2-"));
}

// A settings file that can't be written: the user is told, and the lock is
// shown (and read) as it was stored, not as it was asked for.
TEST(PasscodeStorageFile, AWriteThatFailsIsReportedAndLeavesTheLockAsStored) {
    const QString notAFolder = test::makeTempDir() + QStringLiteral("/file");
    ASSERT_TRUE(test::writeBytes(notAFolder, "x"));
    UserDefaults defaults(notAFolder + QStringLiteral("/Quillet2.conf"));
    PasscodeStorage storage(defaults);
    test::alerts().clear();
    EXPECT_FALSE(storage.setPasscode(QStringLiteral("1234")));
    EXPECT_FALSE(storage.setIsPasscodeLocked(true));
    EXPECT_FALSE(storage.isPasscodeLocked());
    EXPECT_TRUE(storage.passcode().isNull());
    ASSERT_EQ(test::alerts().errors.size(), 2u);
    EXPECT_EQ(test::alerts().errors[0].code, FileWriteUnknownError);
    EXPECT_TRUE(test::alerts().errors[0].localizedDescription.contains(defaults.filePath()))
        << test::alerts().errors[0].localizedDescription.toStdString();
    test::alerts().clear();
}

} // namespace
} // namespace quillet
