#pragma once

#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace quillet {

// The Help menu's windows: the user guide, the keyboard shortcuts and About.
namespace HelpWindows {

// One line a command, "Menu text<TAB>keys", from the actions themselves, so
// the list cannot drift from the menus; then the text fields' own keys.
QString shortcutList(const QList<QAction*>& actions);
void showShortcuts(QWidget* parent, const QList<QAction*>& actions);

// The short user guide (writing, tags, search, the lock, sync, import and
// export, backups), in a window of its own that stays open beside the diary.
void showGuide(QWidget* parent);

// Name, version, license, website, authors, and where the diary, its backups and the cloud
// container are kept.
struct AboutFacts {
    QString name;
    QString version;
    QString storeFolder;
    QString cloudContainer;
    QString website;
};
QString aboutText(const AboutFacts& facts);
void showAbout(QWidget* parent, const AboutFacts& facts);

} // namespace HelpWindows

} // namespace quillet
