#include "diary/DailyBackups.h"

#include "core/Error.h"
#include "core/Log.h"
#include "store/PersistentStore.h"
#include "store/StoreFileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <sys/stat.h>

namespace quillet {

namespace {
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QRegularExpression kCopyName(QStringLiteral("^entries-(\\d{4}-\\d{2}-\\d{2})\\.sqlite$"));
} // namespace

DailyBackups::DailyBackups(const QString& storePath, const QString& folder)
    : storePath_(storePath), folder_(folder) {}

DailyBackups::~DailyBackups() {
    wait();
}

QString DailyBackups::fileNameForDate(const QDate& date) {
    return QStringLiteral("entries-%1.sqlite").arg(date.toString(kDateFormat));
}

QDate DailyBackups::dateOfFileName(const QString& name) {
    const QRegularExpressionMatch match = kCopyName.match(name);
    return match.hasMatch() ? QDate::fromString(match.captured(1), kDateFormat) : QDate();
}

std::set<QDate> DailyBackups::datesToKeep(const std::vector<QDate>& dates) {
    std::vector<QDate> newestFirst;
    for (const QDate& date : dates) {
        if (date.isValid()) {
            newestFirst.push_back(date);
        }
    }
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    newestFirst.erase(std::unique(newestFirst.begin(), newestFirst.end()), newestFirst.end());
    std::set<QDate> kept;
    std::size_t i = 0;
    for (; i < newestFirst.size() && kept.size() < std::size_t(kDailyCopies); ++i) {
        kept.insert(newestFirst[i]);
    }
    // Older ones: the newest of each week (ISO weeks, Monday first), for the newest weeks.
    std::set<std::pair<int, int>> weeks;
    for (; i < newestFirst.size() && weeks.size() < std::size_t(kWeeklyCopies); ++i) {
        int year = 0;
        const int week = newestFirst[i].weekNumber(&year);
        if (weeks.insert({year, week}).second) {
            kept.insert(newestFirst[i]);
        }
    }
    return kept;
}

bool DailyBackups::backUpIfDue(const QDate& today) {
    if (!today.isValid() || lastDone_ == today || working_.load()) {
        return false;
    }
    lastDone_ = today;
    if (worker_.joinable()) {
        worker_.join();
    }
    working_.store(true);
    worker_ = std::thread([this, today] {
        run(today);
        working_.store(false);
    });
    return true;
}

void DailyBackups::wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void DailyBackups::run(QDate today) {
    // Owner-only whatever the umask: the copies hold the diary's text.
    const QByteArray native = QFile::encodeName(folder_);
    if (!QDir().mkpath(folder_) || ::chmod(native.constData(), 0700) != 0) {
        Log::write(
            QStringLiteral("The backup folder \u201c%1\u201d could not be made.").arg(folder_));
        return;
    }
    // Half-written copies of a process that was killed while it wrote them.
    for (const QString& name : QDir(folder_).entryList(QDir::Files | QDir::Hidden)) {
        if (name.contains(QLatin1String(".sqlite.new-"))) {
            QFile::remove(folder_ + QLatin1Char('/') + name);
        }
    }
    const QString copy = folder_ + QLatin1Char('/') + fileNameForDate(today);
    if (QFileInfo::exists(copy)) {
        return; // the day's copy was checked when it was made; nothing new to rotate
    }
    // Written under a passing name and checked page by page before it takes
    // the day's name: every copy under that name passed when it was made, so
    // the rotation below, which runs only after a new one, never drops the
    // newest sound copy for a damaged one.
    const QString unchecked = copy + QStringLiteral(".new-check");
    Error error;
    if (!PersistentStore::copyFile(storePath_, unchecked, &error) ||
        !StoreFileCheck::checkWholeFile(unchecked, &error) || !QFile::rename(unchecked, copy)) {
        QFile::remove(unchecked);
        Log::write(QStringLiteral("The diary could not be backed up: %1")
                       .arg(error.isNull() ? QStringLiteral("the copy could not be named")
                                           : error.localizedDescription));
        return;
    }
    std::map<QDate, QString> copies;
    for (const QString& name : QDir(folder_).entryList(QDir::Files)) {
        const QDate date = dateOfFileName(name);
        if (date.isValid()) {
            copies.emplace(date, name);
        }
    }
    std::vector<QDate> dates;
    for (const auto& [date, name] : copies) {
        dates.push_back(date);
    }
    const std::set<QDate> kept = datesToKeep(dates);
    for (const auto& [date, name] : copies) {
        if (!kept.count(date)) {
            QFile::remove(folder_ + QLatin1Char('/') + name);
        }
    }
}

} // namespace quillet
