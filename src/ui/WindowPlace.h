#pragma once

class QString;

namespace quillet {

class MainWindow;
class UserDefaults;

// The main window's size and place and where its splits sit, kept in the
// settings from one launch to the next. Restored before the window shows; a
// place on a screen that is gone is moved onto one that is there.
namespace WindowPlace {

void restore(MainWindow& window, const UserDefaults& defaults);
void remember(const MainWindow& window, UserDefaults& defaults);

// Where the editor was scrolled to in the entry it showed (by the entry's
// identifier); given back only when the same entry is shown again.
void rememberEditorScroll(const MainWindow& window, const QString& entry, UserDefaults& defaults);
void restoreEditorScroll(MainWindow& window, const QString& entry, const UserDefaults& defaults);

} // namespace WindowPlace
} // namespace quillet
