// The list's filter: a search over the whole diary runs in chunks shared
// with one helper thread; a short list is scanned on the calling thread.
#include "store/ArrayController.h"

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace quillet {

namespace {
// Below this many records a second thread costs more than it saves.
constexpr std::size_t kConcurrentFilterThreshold = 16384;
constexpr std::size_t kScanChunk = 4096;

// One helper thread, started on first need and kept, that takes chunks of a
// scan alongside the calling thread. The caller never waits for the helper
// to start: whatever the helper has not taken when the caller runs out of
// chunks, the caller has done itself, so a busy machine costs no more than
// scanning alone.
class ScanHelper {
public:
    static ScanHelper& shared() {
        static ScanHelper* helper = new ScanHelper; // lives as long as the process
        return *helper;
    }

    void run(std::size_t chunks, const std::function<void(std::size_t)>& work) {
        const std::lock_guard<std::mutex> oneScanAtATime(runMutex_);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            work_ = &work;
            chunks_ = chunks;
            next_.store(0);
            ++generation_;
        }
        wake_.notify_one();
        takeChunks(work, chunks);
        std::unique_lock<std::mutex> lock(mutex_);
        work_ = nullptr; // a helper waking up late finds nothing left to do
        idle_.wait(lock, [this] { return active_ == 0; });
    }

private:
    ScanHelper() {
        std::thread([this] { loop(); }).detach();
    }

    void takeChunks(const std::function<void(std::size_t)>& work, std::size_t chunks) {
        for (std::size_t chunk; (chunk = next_.fetch_add(1)) < chunks;) {
            work(chunk);
        }
    }

    void loop() {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return generation_ != seen; });
            seen = generation_;
            if (!work_) {
                continue;
            }
            const std::function<void(std::size_t)>* work = work_;
            const std::size_t chunks = chunks_;
            ++active_;
            lock.unlock();
            takeChunks(*work, chunks);
            lock.lock();
            --active_;
            idle_.notify_all();
        }
    }

    std::mutex runMutex_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    const std::function<void(std::size_t)>* work_ = nullptr;
    std::size_t chunks_ = 0;
    std::atomic<std::size_t> next_{0};
    std::uint64_t generation_ = 0;
    int active_ = 0;
};
} // namespace

std::vector<ManagedObject*> ArrayController::filteredContent() const {
    if (!filter_) {
        return content_;
    }
    return filtered(content_);
}

std::vector<ManagedObject*>
ArrayController::filtered(const std::vector<ManagedObject*>& records) const {
    if (context_) {
        context_->ensureFoldedTexts(); // edited texts, before any helper thread reads them
    }
    const Predicate& filter = *filter_;
    const auto scan = [&records, &filter](std::size_t from, std::size_t to,
                                          std::vector<ManagedObject*>& out) {
        // Newest first is the reverse of the order the records were loaded
        // in, and so of their places in memory: walk each stretch backwards
        // to read memory forwards, asking for the records a few steps ahead.
        constexpr std::size_t recordAhead = 16;
        constexpr std::size_t textAhead = 8;
        const std::size_t start = out.size();
        for (std::size_t i = to; i-- > from;) {
            if (i >= from + recordAhead) {
                __builtin_prefetch(records[i - recordAhead]);
            }
            if (i >= from + textAhead) {
                records[i - textAhead]->prefetchFoldedText();
            }
            if (filter.evaluate(*records[i])) {
                out.push_back(records[i]);
            }
        }
        std::reverse(out.begin() + qsizetype(start), out.end());
    };
    const std::size_t n = records.size();
    std::vector<ManagedObject*> arranged;
    if (n >= kConcurrentFilterThreshold && filter.canEvaluateConcurrently() &&
        std::thread::hardware_concurrency() > 1) {
        // A search over the whole diary, in chunks shared with the helper
        // thread. The records are only read, and nothing writes them until
        // every chunk is done.
        const std::size_t chunks = (n + kScanChunk - 1) / kScanChunk;
        std::vector<std::vector<ManagedObject*>> found(chunks);
        ScanHelper::shared().run(chunks, [&](std::size_t chunk) {
            scan(chunk * kScanChunk, std::min(n, (chunk + 1) * kScanChunk), found[chunk]);
        });
        std::size_t total = 0;
        for (const auto& part : found) {
            total += part.size();
        }
        arranged.reserve(total);
        for (const auto& part : found) {
            arranged.insert(arranged.end(), part.begin(), part.end());
        }
    } else {
        scan(0, n, arranged);
    }
    return arranged;
}

} // namespace quillet
