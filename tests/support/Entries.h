#pragma once

#include "diary/Utility.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QDateTime>
#include <QString>

namespace quillet::test {

// An entry as the application makes one: its moment with the month tag the
// calendar gives, a tag, a text, and an identifier (a new one unless given).
inline ManagedObject* addEntry(ManagedObjectContext& context, const QDateTime& when,
                               const QString& text, int color = 0,
                               const QString& uuid = QString()) {
    Utility* utility = Utility::sharedUtility();
    ManagedObject* e = context.insertNewObject(QStringLiteral("Entry"));
    e->setValue(when, QStringLiteral("timeStamp"));
    e->setValue(utility->monthTagForDate(when), QStringLiteral("monthTag"));
    e->setValue(color, QStringLiteral("colorTag"));
    e->setValue(text, QStringLiteral("entryText"));
    e->setValue(uuid.isNull() ? utility->createUUID() : uuid, QStringLiteral("uuid"));
    return e;
}

} // namespace quillet::test
