#pragma once

// For the store suite: a diary file with its store and its change-log
// exchange, as one machine of several sharing a container holds them.

#include "TestSupport.h"

#include "store/PersistentStore.h"
#include "store/cloud/LogExchange.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quillet::test {

// One machine: its diary file, the store on it, and its exchange.
struct Machine {
    QString path;
    std::unique_ptr<PersistentStore> store;
    std::unique_ptr<cloud::LogExchange> exchange;

    // `keys`: the machine's own hold of the diary key (by default the
    // process's, unlocked by the tests' passphrase file).
    Machine(const QString& folder, const QString& container,
            std::shared_ptr<cloud::ContainerKey> machineKeys = nullptr)
        : path(folder + QStringLiteral("/entries.sqlite")), keys(std::move(machineKeys)) {
        open(container);
    }
    void open(const QString& container) {
        Error error;
        store = PersistentStore::open(path, {}, &error);
        ASSERT_TRUE(store) << error.localizedDescription.toStdString();
        exchange = std::make_unique<cloud::LogExchange>(path, container, keys);
    }
    std::shared_ptr<cloud::ContainerKey> keys;
    void close() {
        exchange.reset();
        store.reset();
    }
    cloud::AppliedChanges sync() {
        cloud::AppliedChanges changes;
        exchange->exchange(&changes);
        return changes;
    }
    std::vector<StoreRow> rows() {
        std::vector<StoreRow> all;
        Error error;
        EXPECT_TRUE(PersistentStore::readAllRows(
            store->path(), [&all](StoreRow&& r) { all.push_back(std::move(r)); }, &error));
        for (StoreRow& r : all) {
            EXPECT_TRUE(store->loadText(r.key, &r.values.entryText, nullptr));
            r.values.textFaulted = false;
        }
        return all;
    }
    std::optional<StoreRow> row(const QString& uuid) {
        for (StoreRow& r : rows()) {
            if (r.values.uuid == uuid)
                return r;
        }
        return std::nullopt;
    }
    qint64 insert(const QString& uuid, const char* text, int color = 1) {
        EntryValues v;
        v.uuid = uuid;
        v.entryText = text;
        v.colorTag = color;
        v.monthTag = 201203;
        v.timeStamp = 1330956429;
        v.hasTimeStamp = true;
        PersistentStore::Changes changes;
        changes.inserted.push_back(&v);
        std::vector<qint64> rowKeys;
        EXPECT_TRUE(store->save(changes, &rowKeys, nullptr));
        return rowKeys.at(0);
    }
    void update(const QString& uuid, const std::function<void(EntryValues&)>& edit) {
        std::optional<StoreRow> r = row(uuid);
        ASSERT_TRUE(r);
        edit(r->values);
        PersistentStore::Changes changes;
        changes.updated.emplace_back(r->key, &r->values);
        EXPECT_TRUE(store->save(changes, nullptr, nullptr));
    }
    // A new entry, or the entry's text and color as this machine saves them.
    void save(const QString& uuid, const char* text, int color = 1) {
        if (!row(uuid)) {
            insert(uuid, text, color);
            return;
        }
        update(uuid, [&](EntryValues& v) {
            v.entryText = text;
            v.colorTag = color;
        });
    }
    void trash(const QString& uuid) {
        PersistentStore::Changes changes;
        for (StoreRow& r : rows()) {
            if (r.values.uuid == uuid)
                changes.deleted.push_back(r.key);
        }
        EXPECT_TRUE(store->save(changes, nullptr, nullptr));
    }
    static QString describe(const EntryValues& v) {
        return QStringLiteral("%1|%2|%3|%4|%5")
            .arg(v.uuid, QString::fromUtf8(v.entryText))
            .arg(v.colorTag)
            .arg(v.monthTag)
            .arg(v.timeStamp);
    }
    // What a user sees: every entry's identifier and values, in one order.
    QStringList diary() {
        QStringList lines;
        for (const StoreRow& r : rows())
            lines << describe(r.values);
        lines.sort();
        return lines;
    }
};

// The files in the writers' folders of a container that match pattern
// ("*.qlog", "*.qsnap"), hidden ones too, by path.
inline QStringList writerFiles(const QString& container,
                               const QString& pattern = QStringLiteral("*")) {
    QStringList files;
    const QDir logs(container + QStringLiteral("/TransactionLogs"));
    for (const QString& writer : logs.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir folder(logs.filePath(writer));
        for (const QString& f : folder.entryList({pattern}, QDir::Files | QDir::Hidden))
            files << folder.filePath(f);
    }
    return files;
}

} // namespace quillet::test
