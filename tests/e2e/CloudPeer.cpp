// One machine of an end-to-end cloud test: opens the diary of the home the
// environment names (HOME, XDG_*, QUILLET_CLOUD_ROOT) the way the application
// does, with the cloud options when the container holds a cloud copy, and
// takes commands from stdin, one a line, so a script can drive two or three
// of them. Every command answers with one line starting "ok" or "error"
// (dump first prints its entries). Texts are the rest of the line, with \n
// and \\ for a line break and a backslash. With --sign-in it first makes
// the container folder and a cloud copy, as a signed-in machine has them.
//
//   add UUID COLOR SECS TEXT     a new entry, saved
//   text UUID TEXT               set text / color tag / moment, saved;
//                                answers "ok was OLDTEXT" (trash too)
//   tag UUID COLOR
//   date UUID SECS
//   trash UUID
//   dump                         "entry UUID COLOR SECS TEXT" lines, then "ok N"
//   wait-count S N               until N entries are on the diary (S seconds at most)
//   wait-line S UUID COLOR SECS TEXT   until that entry is on the diary with these values
//   wait-gone S UUID             until the entry has left the diary
//   wait-text S TEXT             until some entry's text contains TEXT
//   quit
#include "core/Bundle.h"
#include "core/Error.h"
#include "core/NotificationCenter.h"
#include "diary/DateTexts.h"
#include "diary/DiaryStore.h"
#include "diary/StoreLocations.h"
#include "diary/Utility.h"
#include "store/CloudContainer.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/cloud/ContainerKey.h"
#include "store/cloud/DiaryKey.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>

using namespace quillet;

namespace {

QString unescape(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += next == QLatin1Char('n') ? QChar(u'\n') : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString escape(QString text) {
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

void say(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Splits off `count` words; the rest of the line (the text) is the last item.
QStringList words(const QString& line, int count) {
    QStringList parts;
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype space = line.indexOf(QLatin1Char(' '), from);
        parts << line.mid(from, space < 0 ? -1 : space - from);
        from = space < 0 ? line.size() : space + 1;
    }
    parts << line.mid(from);
    return parts;
}

class Peer {
public:
    Peer() : store_(&Utility::sharedUtility()->storeLocations(), &window_) {}

    bool open() {
        context_ = store_.managedObjectContext();
        return context_->persistentStoreCoordinator() != nullptr;
    }

    // The diary as the window would list it: uuid -> "COLOR SECS TEXT".
    std::map<QString, QString> entries() const {
        std::map<QString, QString> result;
        for (ManagedObject* o : context_->registeredObjects()) {
            if (!o->isLive())
                continue;
            result[o->uuid()] =
                QStringLiteral("%1 %2 %3")
                    .arg(o->valueForKey(QStringLiteral("colorTag")).toInt())
                    .arg(
                        o->valueForKey(QStringLiteral("timeStamp")).toDateTime().toSecsSinceEpoch())
                    .arg(escape(o->valueForKey(QStringLiteral("entryText")).toString()));
        }
        return result;
    }

    ManagedObject* find(const QString& uuid) const {
        const std::vector<ManagedObject*> found = context_->objectsWithUuid(uuid);
        return found.empty() ? nullptr : found.front();
    }

    bool save(QString* why) {
        if (store_.flushUnsavedChanges())
            return true;
        *why = QStringLiteral("the save failed");
        return false;
    }

    // Runs the event loop (the exchange's announcements arrive there) until
    // `done` holds or the seconds pass.
    static bool waitFor(double seconds, const std::function<bool()>& done) {
        QDeadlineTimer deadline(qint64(seconds * 1000));
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        return true;
    }

    // Answers one command; false on quit.
    bool run(const QString& line) {
        const QString verb = line.section(QLatin1Char(' '), 0, 0);
        QString why;
        auto edit = [&](const QString& uuid, const std::function<void(ManagedObject*)>& change) {
            ManagedObject* o = find(uuid);
            if (!o) {
                say(QStringLiteral("error no entry ") + uuid);
                return;
            }
            // The text this machine wrote over (or dropped), for the soak's
            // account of texts.
            const QString before = o->valueForKey(QStringLiteral("entryText")).toString();
            change(o);
            if (save(&why))
                say(QStringLiteral("ok was ") + escape(before));
            else
                say(QStringLiteral("error ") + why);
        };
        if (verb == QLatin1String("quit")) {
            say(QStringLiteral("ok"));
            return false;
        } else if (verb == QLatin1String("add")) {
            const QStringList w = words(line, 4);
            const QDateTime moment = QDateTime::fromSecsSinceEpoch(w[3].toLongLong());
            ManagedObject* o = context_->insertNewObject(QStringLiteral("Entry"));
            o->setValue(w[1], QStringLiteral("uuid"));
            o->setValue(unescape(w[4]), QStringLiteral("entryText"));
            o->setValue(w[2].toInt(), QStringLiteral("colorTag"));
            o->setValue(DateTexts::monthTagForDate(moment), QStringLiteral("monthTag"));
            o->setValue(moment, QStringLiteral("timeStamp"));
            if (save(&why))
                say(QStringLiteral("ok"));
            else
                say(QStringLiteral("error ") + why);
        } else if (verb == QLatin1String("text")) {
            const QStringList w = words(line, 2);
            edit(w[1], [&](ManagedObject* o) {
                o->setValue(unescape(w[2]), QStringLiteral("entryText"));
            });
        } else if (verb == QLatin1String("tag")) {
            const QStringList w = words(line, 2);
            edit(w[1],
                 [&](ManagedObject* o) { o->setValue(w[2].toInt(), QStringLiteral("colorTag")); });
        } else if (verb == QLatin1String("date")) {
            const QStringList w = words(line, 2);
            const QDateTime moment = QDateTime::fromSecsSinceEpoch(w[2].toLongLong());
            edit(w[1], [&](ManagedObject* o) {
                o->setValue(moment, QStringLiteral("timeStamp"));
                o->setValue(DateTexts::monthTagForDate(moment), QStringLiteral("monthTag"));
            });
        } else if (verb == QLatin1String("trash")) {
            const QStringList w = words(line, 1);
            edit(w[1], [&](ManagedObject* o) { context_->deleteObject(o); });
        } else if (verb == QLatin1String("dump")) {
            QCoreApplication::processEvents();
            const auto all = entries();
            for (const auto& [uuid, values] : all)
                say(QStringLiteral("entry ") + uuid + QLatin1Char(' ') + values);
            say(QStringLiteral("ok %1").arg(all.size()));
        } else if (verb.startsWith(QLatin1String("wait-"))) {
            const QStringList w = words(line, 2);
            const double seconds = w[1].toDouble();
            std::function<bool()> done;
            if (verb == QLatin1String("wait-count")) {
                const size_t count = w[2].toULongLong();
                done = [this, count] { return entries().size() == count; };
            } else if (verb == QLatin1String("wait-line")) {
                const QStringList e = words(w[2], 1);
                done = [this, e] {
                    const auto all = entries();
                    auto it = all.find(e[0]);
                    return it != all.end() && it->second == e[1];
                };
            } else if (verb == QLatin1String("wait-gone")) {
                done = [this, uuid = w[2]] { return !find(uuid); };
            } else if (verb == QLatin1String("wait-text")) {
                const QString part = unescape(w[2]);
                done = [this, part] {
                    for (const auto& [uuid, values] : entries())
                        if (unescape(values).contains(part))
                            return true;
                    return false;
                };
            } else {
                say(QStringLiteral("error unknown command ") + verb);
                return true;
            }
            if (waitFor(seconds, done))
                say(QStringLiteral("ok"));
            else
                say(QStringLiteral("error timed out: ") + line);
        } else if (!verb.isEmpty()) {
            say(QStringLiteral("error unknown command ") + verb);
        }
        return true;
    }

private:
    QObject window_;
    DiaryStore store_;
    ManagedObjectContext* context_ = nullptr;
};

// Signs in and puts the cloud copy in place, which is what opens the local
// diary with the cloud options.
bool signIn() {
    const StoreLocations& locations = Utility::sharedUtility()->storeLocations();
    const QString container =
        CloudContainer::rootPath() + QLatin1Char('/') + locations.ubiquityContainerIdentifier();
    if (!QDir().mkpath(container + QStringLiteral("/.nosync")) ||
        locations.cloudContainerURL().isEmpty())
        return false;
    const QString copy = container + QStringLiteral("/.nosync/entries.sqlite");
    QFile file(copy);
    return file.exists() || (file.open(QIODevice::WriteOnly) && file.write("the cloud copy") > 0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Bundle::mainBundle().setBundleName(QStringLiteral("Quillet2"));
    // A test machine: the passphrase's key derivation at its cheapest, so that
    // a sanitizer build still derives it in well under the tests' waits.
    cloud::ContainerKey::setDefaultCost(cloud::cheapestKeyCost());
    if (app.arguments().contains(QStringLiteral("--sign-in")) && !signIn()) {
        say(QStringLiteral("error cannot sign in under ") +
            QString::fromLocal8Bit(qgetenv("QUILLET_CLOUD_ROOT")));
        return 1;
    }
    Peer peer;
    if (!peer.open()) {
        say(QStringLiteral("error the diary cannot be opened"));
        return 1;
    }
    say(QStringLiteral("ok ready"));
    QByteArray pending;
    for (;;) {
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, 20) > 0) {
            char buffer[4096];
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0)
                break;
            pending.append(buffer, got);
        }
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (!peer.run(line))
                return 0;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return 0;
}
