#pragma once

#include <QDate>
#include <QString>
#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace quillet {

// One consistent copy of the diary a day, in a folder of its own that only
// the user may read: "entries-YYYY-MM-DD.sqlite", each a whole diary file
// (format version included) that opens as one. The last 7 daily copies are
// kept and, before them, the last copy of each of 4 weeks. A copy is written
// on a helper thread through a connection of its own, so the window never
// waits for it.
class DailyBackups {
public:
    static constexpr int kDailyCopies = 7;
    static constexpr int kWeeklyCopies = 4;

    DailyBackups(const QString& storePath, const QString& folder);
    ~DailyBackups(); // waits for a copy under way

    // The name of the day's copy, and the day of a copy's name (invalid for any other name).
    static QString fileNameForDate(const QDate& date);
    static QDate dateOfFileName(const QString& name);
    // Of the days that have a copy, those whose copies are kept.
    static std::set<QDate> datesToKeep(const std::vector<QDate>& dates);

    // Starts the copy of `today` on the helper thread unless there is one
    // already or one is being written, then drops the copies no longer kept.
    // Returns at once; false when nothing was started.
    bool backUpIfDue(const QDate& today);
    // Waits for the copy under way, if any.
    void wait();
    QString folder() const { return folder_; }
    // The diary file copied from now on (after it was saved to a new file).
    void setStorePath(const QString& path) {
        wait();
        storePath_ = path;
    }

private:
    void run(QDate today);

    QString storePath_;
    QString folder_;
    QDate lastDone_; // read and written on the calling thread only
    std::thread worker_;
    std::atomic<bool> working_{false};
};

} // namespace quillet
