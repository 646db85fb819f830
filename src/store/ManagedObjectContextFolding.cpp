// Folding edited texts for search and save: at once when asked, or ahead on a
// helper thread for a long text while typing pauses.
#include "store/ManagedObjectContext.h"

#include "core/TextFolder.h"
#include "store/ManagedObjectContextPrivate.h"

#include <algorithm>

namespace quillet {

using detail::sameText;

bool ManagedObjectContext::isFoldingAhead() const {
    return foldAhead_ && !foldAhead_->done.load(std::memory_order_acquire);
}

void ManagedObjectContext::startFoldAhead() {
    if (isFoldingAhead()) {
        foldAheadTimer_.start(); // one fold at a time: try again after this one
        return;
    }
    foldAhead_.reset();
    auto ahead = std::make_unique<FoldAhead>();
    for (ManagedObject* object : unfolded_) {
        const QByteArray& text = object->values_.entryText;
        if (text.size() >= kFoldAheadBytes) {
            ahead->items.push_back({object, text, {}});
        }
    }
    runFoldAhead(std::move(ahead));
}

void ManagedObjectContext::runFoldAhead(std::unique_ptr<FoldAhead> ahead) {
    if (ahead->items.empty()) {
        return;
    }
    FoldAhead* job = ahead.get();
    job->worker = std::thread([job] {
        for (FoldAhead::Item& item : job->items) {
            item.folded = TextFolder::fold(QString::fromUtf8(item.text));
        }
        job->done.store(true, std::memory_order_release);
    });
    foldAhead_ = std::move(ahead);
    ++foldsAheadStarted_;
}

void ManagedObjectContext::takeFoldsAhead(bool wait) {
    if (!foldAhead_) {
        return;
    }
    // A fold of a text that is still the record's is waited for (it is
    // further along than a new one); one of a text edited since is not.
    const auto current = [this](const FoldAhead::Item& item) {
        const QByteArray& text = item.object->values_.entryText;
        return unfolded_.count(item.object) &&
               (text.isSharedWith(item.text) || sameText(text, item.text));
    };
    const bool done = foldAhead_->done.load(std::memory_order_acquire);
    if (!done &&
        !(wait && std::any_of(foldAhead_->items.begin(), foldAhead_->items.end(), current))) {
        return;
    }
    std::unique_ptr<FoldAhead> ahead = std::move(foldAhead_);
    ahead->worker.join();
    for (FoldAhead::Item& item : ahead->items) {
        if (current(item)) {
            item.object->values_.foldedText = std::move(item.folded);
            item.object->foldStale_ = false;
            unfolded_.erase(item.object);
        }
    }
}

void ManagedObjectContext::ensureFoldedTexts() {
    foldAheadTimer_.stop();
    takeFoldsAhead(true);
    for (ManagedObject* object : unfolded_) {
        EntryValues& v = object->values_;
        v.foldedText = TextFolder::fold(QString::fromUtf8(v.entryText));
        object->foldStale_ = false;
    }
    unfolded_.clear();
}

} // namespace quillet
