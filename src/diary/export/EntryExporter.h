#pragma once

#include "core/DateComponents.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace quillet {

class ManagedObject;
class TextEditorLauncher;

// Turns the listed entries into plain text, writes it to "preview.txt" in the
// diary's cache folder (replacing the last export) and opens it in a text
// editor. The file holds diary text, so it and its folder are private to the
// user.
class EntryExporter {
public:
    static EntryExporter* sharedExporter();
    EntryExporter();
    ~EntryExporter();

    // entries in the order shown; a non-empty search text puts the year into
    // the day headers, since a search spans months and years. The current
    // month takes no part in the text.
    void exportToTextAndPreview(const std::vector<ManagedObject*>& entries,
                                const QString& searchString,
                                const std::optional<DateComponents>& currentMonth);

    // The text of an export: a day header whenever the day changes from the
    // entry before, then each entry's time and text.
    QString textForEntries(const std::vector<ManagedObject*>& entries,
                           const QString& searchString) const;

    // $XDG_CACHE_HOME/Quillet2 (or ~/.cache/Quillet2); null without a home.
    static QString exportFolder();
    static QString exportPath();

    TextEditorLauncher* launcher() const { return launcher_.get(); }
    void setLauncher(std::unique_ptr<TextEditorLauncher> launcher);

private:
    std::unique_ptr<TextEditorLauncher> launcher_;
};

} // namespace quillet
