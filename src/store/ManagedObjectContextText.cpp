// Editing a record's text: keystrokes in the editor's terms, each pause one
// small step to undo, and steps carried past a text changed by a merge.
#include "store/ManagedObjectContext.h"

#include "store/ManagedObjectContextPrivate.h"
#include "store/UndoManager.h"

#include <algorithm>

namespace quillet {

using detail::sameText;

// One step to undo a text change: what it replaced, and what it put in its
// place (to tell that the place still holds it). Kept apart from the step's
// action so that a text changed without undo can move it.
struct ManagedObjectContext::TextStep {
    qsizetype prefix = 0;
    QByteArray replaced;
    QByteArray inserted;
    bool oldWasNull = false;
    bool redo = false; // taken while undoing: dropped, not moved, by a change without undo
    bool valid = true;
};

void ManagedObjectContext::registerUndo(std::function<void()> action) {
    endTyping();
    undoManager_->registerUndo(std::move(action));
}

void ManagedObjectContext::setText(ManagedObject* object, QByteArray text) {
    object->fireText();
    EntryValues& v = object->values_;
    if (sameText(v.entryText, text)) {
        return; // the same value: nothing to save or undo
    }
    endTyping();
    if (!object->inserted_ && !v.textFaulted) {
        textReadAs_.try_emplace(object, v.entryText);
    }
    const QByteArray old = std::exchange(v.entryText, std::move(text));
    if (place_.object == object) {
        place_ = {};
    }
    registerTextStep(object, old, v.entryText);
    textChanged(object);
}

void ManagedObjectContext::replaceText(ManagedObject* object, qsizetype position, qsizetype removed,
                                       const QString& inserted) {
    if (!object || object->context_ != this || !object->isLive() || position < 0 || removed < 0) {
        return;
    }
    object->fire();
    object->fireText();
    EntryValues& v = object->values_;
    if (place_.object != object && !v.entryText.isEmpty()) {
        // Positions are counted as the editor shows the text, which shows
        // broken UTF-8 as one replacement character per byte: such a text
        // is taken as shown before it is typed into.
        const QString shown = QString::fromUtf8(v.entryText);
        if (QByteArray clean = shown.toUtf8(); clean != v.entryText) {
            setText(object, std::move(clean));
        }
    }
    const qsizetype from = utf8Offset(object, position);
    const qsizetype to = utf8Offset(object, position + removed);
    const QByteArray bytes = inserted.toUtf8();
    if (to - from == bytes.size() && !v.entryText.isNull() &&
        std::equal(bytes.cbegin(), bytes.cend(), v.entryText.cbegin() + from)) {
        return; // the same text: nothing to save or undo
    }
    if (typing_ != object) {
        endTyping();
        typing_ = object;
        typedOver_ = v.entryText; // shared; copied once, by the first key
    }
    if (!object->inserted_ && !v.textFaulted) {
        textReadAs_.try_emplace(object, v.entryText);
    }
    if (v.entryText.isNull()) {
        v.entryText = bytes;
    } else {
        v.entryText.replace(from, to - from, bytes);
    }
    place_ = {object, position + inserted.size(), from + bytes.size()};
    textChanged(object);
}

qsizetype ManagedObjectContext::utf8Offset(ManagedObject* object, qsizetype position) {
    const QByteArray& text = object->values_.entryText;
    const auto* bytes = reinterpret_cast<const uchar*>(text.constData());
    const qsizetype size = text.size();
    if (place_.object != object || place_.utf8 > size) {
        place_ = {object, 0, 0};
    }
    qsizetype utf16 = place_.utf16;
    qsizetype utf8 = place_.utf8;
    const auto length = [](uchar lead) {
        return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    };
    while (utf16 < position && utf8 < size) {
        const int n = length(bytes[utf8]);
        utf8 = std::min(size, utf8 + n);
        utf16 += n == 4 ? 2 : 1;
    }
    while (utf16 > position && utf8 > 0) {
        qsizetype lead = utf8 - 1;
        while (lead > 0 && (bytes[lead] & 0xC0) == 0x80) {
            --lead;
        }
        utf16 -= length(bytes[lead]) == 4 ? 2 : 1;
        utf8 = lead;
    }
    place_ = {object, utf16, utf8};
    return utf8;
}

void ManagedObjectContext::endTyping() {
    ManagedObject* object = std::exchange(typing_, nullptr);
    const QByteArray before = std::exchange(typedOver_, QByteArray());
    if (!object || !object->isLive() || sameText(before, object->values_.entryText)) {
        return;
    }
    // A group of its own: the typing is not undone together with whatever
    // change comes next in the same event.
    undoManager_->closeOpenGroup();
    undoManager_->beginUndoGrouping();
    registerTextStep(object, before, object->values_.entryText);
    undoManager_->endUndoGrouping();
}

void ManagedObjectContext::registerTextStep(ManagedObject* object, const QByteArray& old,
                                            const QByteArray& now) {
    if (!undoManager_->isUndoRegistrationEnabled()) {
        return;
    }
    // The step keeps only what this edit replaced, not the whole old text:
    // a long entry typed into keeps one small step per pause, not a copy of
    // itself each time.
    const qsizetype shorter = std::min(old.size(), now.size());
    const qsizetype prefix =
        std::mismatch(old.cbegin(), old.cbegin() + shorter, now.cbegin()).first - old.cbegin();
    const qsizetype suffix =
        std::mismatch(old.crbegin(), old.crbegin() + (shorter - prefix), now.crbegin()).first -
        old.crbegin();
    auto step = std::make_shared<TextStep>();
    step->prefix = prefix;
    step->replaced = old.mid(prefix, old.size() - prefix - suffix);
    step->inserted = now.mid(prefix, now.size() - prefix - suffix);
    step->oldWasNull = old.isNull();
    step->redo = undoManager_->isUndoing();
    std::vector<std::weak_ptr<TextStep>>& steps = textSteps_[object];
    if (steps.size() >= 64 && (steps.size() & (steps.size() - 1)) == 0) {
        std::erase_if(steps, [](const std::weak_ptr<TextStep>& s) { return s.expired(); });
    }
    steps.push_back(step);
    undoManager_->registerUndo([this, object, step] {
        const QByteArray& text = object->values_.entryText;
        const TextStep& s = *step;
        // A step whose place no longer holds what it put there (the text
        // changed meanwhile in a way it could not follow) is left.
        if (!s.valid || s.prefix + s.inserted.size() > text.size() ||
            !std::equal(s.inserted.cbegin(), s.inserted.cend(), text.cbegin() + s.prefix)) {
            return;
        }
        QByteArray restored;
        if (!s.oldWasNull) {
            restored.reserve(text.size() - s.inserted.size() + s.replaced.size());
            restored.append(text.constData(), s.prefix);
            restored.append(s.replaced);
            restored.append(text.constData() + s.prefix + s.inserted.size(),
                            text.size() - s.prefix - s.inserted.size());
        }
        setText(object, std::move(restored));
    });
}

void ManagedObjectContext::mapTextSteps(ManagedObject* object, const QByteArray& old,
                                        const QByteArray& now) {
    const auto found = textSteps_.find(object);
    if (found == textSteps_.end()) {
        return;
    }
    // The change as one span of the text: [at, at + removed) became added bytes.
    const qsizetype shorter = std::min(old.size(), now.size());
    qsizetype at =
        std::mismatch(old.cbegin(), old.cbegin() + shorter, now.cbegin()).first - old.cbegin();
    const qsizetype suffix =
        std::mismatch(old.crbegin(), old.crbegin() + (shorter - at), now.crbegin()).first -
        old.crbegin();
    qsizetype removed = old.size() - at - suffix;
    const qsizetype delta = (now.size() - suffix - at) - removed;
    // Newest first: each step is in the terms of the text after it, so the
    // change is carried back past each step to reach the one before.
    bool blocked = false;
    for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) {
        const std::shared_ptr<TextStep> step = it->lock();
        if (!step || !step->valid) {
            continue;
        }
        const qsizetype end = step->prefix + step->inserted.size();
        if (blocked || step->redo || (step->prefix < at + removed && end > at) ||
            (removed == 0 && step->prefix < at && end > at)) {
            step->valid = false;
            blocked = blocked || !step->redo;
            continue;
        }
        if (step->prefix >= at + removed) {
            step->prefix += delta;
        } else {
            at += step->replaced.size() - step->inserted.size();
        }
    }
}

void ManagedObjectContext::textChanged(ManagedObject* object) {
    EntryValues& v = object->values_;
    v.textFaulted = false;
    object->foldStale_ = true;
    unfolded_.insert(object);
    if (v.entryText.size() >= kFoldAheadBytes) {
        foldAheadTimer_.start();
    }
    if (!object->inserted_) {
        object->updated_ = true;
        updated_.insert(object);
    }
    changedKeys_[object] |= entryKeyBit(EntryKey::EntryText);
    ChangeSet changes;
    changes.updated.push_back(object);
    changes.updatedKeys.append(entryKeyName(EntryKey::EntryText));
    emit objectsDidChange(changes);
}

} // namespace quillet
