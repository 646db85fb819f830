#pragma once

#include "store/EntryKey.h"
#include "store/EntryValues.h"
#include "store/ManagedObjectID.h"

#include <QDateTime>
#include <QVariant>
#include <cstdint>

namespace quillet {

class ManagedObjectContext;

// One Entry record held by a context. Records are owned by their context and
// stay at the same address for the context's life, so views and selections
// may hold plain pointers to them. Writes go through the context, which
// tracks them for saving and undo.
class ManagedObject {
public:
    ManagedObjectID objectID() const { return id_; }
    ManagedObjectContext* managedObjectContext() const { return context_; }
    QString entityName() const { return QStringLiteral("Entry"); }

    // Attribute access by name ("uuid", "entryText", "colorTag", "monthTag",
    // "timeStamp"); an unknown name reads as an invalid value and is not written.
    QVariant valueForKey(const QString& key) const;
    void setValue(const QVariant& value, const QString& key);
    QVariant value(EntryKey key) const;
    void setValue(EntryKey key, const QVariant& value);

    QString uuid() const;
    QString entryText() const;
    // At most the first maxBytes of the text (whole characters): what a list
    // row shows, without converting a long text at every repaint.
    QString leadingText(qsizetype maxBytes) const;
    int colorTag() const;
    int monthTag() const;
    QDateTime timeStamp() const;
    double timeStampSeconds() const;
    std::string_view foldedText() const;
    // A scan over many records asks for the next ones' folded text ahead of
    // time, so that it does not wait on memory record by record.
    void prefetchFoldedText() const {
        __builtin_prefetch(values_.foldedText.data());
        __builtin_prefetch(values_.foldedText.data() + 64);
    }

    // A number of its own within its context, from 0 and kept for its life:
    // a table by record (the list's month filing) is a vector indexed by it.
    std::uint32_t slot() const { return slot_; }

    bool isInserted() const { return inserted_; }
    bool isUpdated() const { return updated_; }
    bool isDeleted() const { return state_ == State::DeletePending; }
    // False once the record has left its context (deleted and saved, or an
    // unsaved insertion that was deleted or undone).
    bool isLive() const { return state_ == State::Live; }

private:
    friend class ManagedObjectContext;
    enum class State : unsigned char { Live, DeletePending, Gone };

    ManagedObject(ManagedObjectContext* context, ManagedObjectID id) : context_(context), id_(id) {}
    void fire() const;
    // Brings in the text as written, which a loaded diary leaves in the file.
    void fireText() const;

    // A large diary holds 100,000 of these: 112 bytes, the widest fields first.
    ManagedObjectContext* context_;
    ManagedObjectID id_;
    mutable EntryValues values_;
    // Its place among the records its context made: the order of a fetch.
    std::uint32_t sequence_ = 0;
    std::uint32_t slot_ = 0;
    State state_ = State::Live;
    bool inserted_ = false;
    bool updated_ = false;
    mutable bool fault_ = false;
    bool foldStale_ = false;    // the text was edited since foldedText was made
    bool loadedAtOpen_ = false; // read with the diary's first screen or its rest
};

static_assert(sizeof(EntryValues) <= 80 && sizeof(ManagedObject) <= 112,
              "a record's size counts 100,000 times in a large diary");

} // namespace quillet

Q_DECLARE_METATYPE(quillet::ManagedObject*)
