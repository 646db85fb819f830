#include "store/Predicate.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

ManagedObject* entry(ManagedObjectContext& context, const QString& text, int month = 201203,
                     int color = 0, const QString& uuid = QString()) {
    ManagedObject* e = context.insertNewObject(QStringLiteral("Entry"));
    e->setValue(text, QStringLiteral("entryText"));
    e->setValue(month, QStringLiteral("monthTag"));
    e->setValue(color, QStringLiteral("colorTag"));
    if (!uuid.isNull()) {
        e->setValue(uuid, QStringLiteral("uuid"));
    }
    return e;
}

bool matches(const QString& format, const ManagedObject* object) {
    const std::optional<Predicate> p = Predicate::parse(format);
    EXPECT_TRUE(p.has_value()) << format.toStdString();
    return p && p->evaluate(*object);
}

TEST(Predicate, ParsesTheFormsTheDiaryBuilds) {
    const auto search =
        Predicate::parse(QStringLiteral("entryText contains[cd] \"a\\\"b\\\\c\" AND colorTag = 3"));
    ASSERT_TRUE(search);
    EXPECT_EQ(search->requiredInteger(QStringLiteral("colorTag")), 3);

    const auto month = Predicate::parse(QStringLiteral("monthTag = 201203 AND colorTag = -1"));
    ASSERT_TRUE(month);
    EXPECT_EQ(month->requiredInteger(QStringLiteral("monthTag")), 201203);
    EXPECT_EQ(month->requiredInteger(QStringLiteral("colorTag")), -1);
    EXPECT_TRUE(
        month->onlyIntegerEqualitiesOn({QStringLiteral("monthTag"), QStringLiteral("colorTag")}));
    EXPECT_FALSE(
        search->onlyIntegerEqualitiesOn({QStringLiteral("monthTag"), QStringLiteral("colorTag")}));
}

TEST(Predicate, RefusesMalformedText) {
    for (const char* bad : {"", "entryText contains", "entryText contains \"open",
                            "monthTag = ", "monthTag = 2012 OR colorTag = 1", "= 3", "monthTag ~ 3",
                            "entryText contains[x] \"a\"", "entryText contains \"a\\"}) {
        QString why;
        EXPECT_FALSE(Predicate::parse(QString::fromUtf8(bad), &why)) << bad;
        EXPECT_FALSE(why.isEmpty()) << bad;
    }
}

TEST(Predicate, ContainsIgnoresCaseAndAccentsAndMatchesSpecialCharactersLiterally) {
    ManagedObjectContext context;
    ManagedObject* ete = entry(context, QStringLiteral("Un été à Paris"));
    ManagedObject* upper = entry(context, QStringLiteral("ETE IN CAPITALS"));
    ManagedObject* street = entry(context, QStringLiteral("Die Straße war nass"));
    ManagedObject* quoted =
        entry(context, QStringLiteral("She said a\"B\\c and left, 100% [sure]"));
    ManagedObject* other = entry(context, QStringLiteral("nothing here"));

    EXPECT_TRUE(matches(QStringLiteral("entryText contains[cd] \"Ete\""), ete));
    EXPECT_TRUE(matches(QStringLiteral("entryText contains[cd] \"Ete\""), upper));
    EXPECT_FALSE(matches(QStringLiteral("entryText contains[cd] \"Ete\""), other));
    EXPECT_TRUE(matches(QStringLiteral("entryText contains[cd] \"STRASSE\""), street));
    EXPECT_TRUE(matches(QStringLiteral("entryText contains[cd] \"a\\\"b\\\\c\""), quoted));
    EXPECT_TRUE(matches(QStringLiteral("entryText contains[cd] \"100% [SURE]\""), quoted));
    EXPECT_FALSE(matches(QStringLiteral("entryText contains[cd] \"100%%\""), quoted));
    // Without options the comparison is exact.
    EXPECT_FALSE(matches(QStringLiteral("entryText contains \"ete\""), ete));
    EXPECT_TRUE(matches(QStringLiteral("entryText contains \"été\""), ete));
}

TEST(Predicate, IntegerAndStringEqualities) {
    ManagedObjectContext context;
    ManagedObject* red = entry(context, QStringLiteral("x"), 201301, 1, QStringLiteral("A'B"));
    ManagedObject* noUuid = entry(context, QStringLiteral("y"), 201112, 0);
    EXPECT_TRUE(matches(QStringLiteral("monthTag = 201301"), red));
    EXPECT_TRUE(matches(QStringLiteral("monthTag = 201301 AND colorTag = 1"), red));
    EXPECT_FALSE(matches(QStringLiteral("monthTag = 201301 AND colorTag = 2"), red));
    EXPECT_FALSE(matches(QStringLiteral("monthTag = 201301 AND colorTag = -1"), red));
    EXPECT_TRUE(matches(QStringLiteral("uuid = 'A\\'B'"), red));
    EXPECT_TRUE(matches(QStringLiteral("uuid = \"A'B\""), red));
    EXPECT_FALSE(matches(QStringLiteral("uuid = 'a\\'b'"), red));
    EXPECT_FALSE(matches(QStringLiteral("uuid = ''"), noUuid));
    // A number never equals a text attribute.
    EXPECT_FALSE(matches(QStringLiteral("entryText = 5"), red));
    EXPECT_FALSE(matches(QStringLiteral("unknownKey = 5"), red));
}

// Only a comparison of the text as written reads the text, which keeps it on one thread.
TEST(Predicate, OnlyTheTextAsWrittenKeepsEvaluationOnOneThread) {
    for (const auto& [format, concurrent] : std::vector<std::pair<const char*, bool>>{
             {"entryText contains[cd] \"a\" AND colorTag = 2", true},
             {"monthTag = 201203", true},
             {"uuid = 'X'", true},
             {"entryText contains \"a\"", false},
             {"entryText beginswith[c] \"a\"", false}}) {
        EXPECT_EQ(Predicate::parse(QString::fromUtf8(format))->canEvaluateConcurrently(),
                  concurrent)
            << format;
    }
}

} // namespace
} // namespace quillet
