#pragma once

#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace quillet {

// The Help menu's two windows: the keyboard shortcuts and About.
namespace HelpWindows {

// One line a command, "Menu text<TAB>keys", from the actions themselves, so
// the list cannot drift from the menus; then the text fields' own keys.
QString shortcutList(const QList<QAction*>& actions);
void showShortcuts(QWidget* parent, const QList<QAction*>& actions);

// Name, version, license, and where the diary, its backups and the cloud
// container are kept.
struct AboutFacts {
    QString name;
    QString version;
    QString storeFolder;
    QString cloudContainer;
};
QString aboutText(const AboutFacts& facts);
void showAbout(QWidget* parent, const AboutFacts& facts);

} // namespace HelpWindows

} // namespace quillet
