#pragma once

namespace quillet {

class MainWindow;
class UserDefaults;

// The main window's size and place and where its splits sit, kept in the
// settings from one launch to the next. Restored before the window shows; a
// place on a screen that is gone is moved onto one that is there.
namespace WindowPlace {

void restore(MainWindow& window, const UserDefaults& defaults);
void remember(const MainWindow& window, UserDefaults& defaults);

} // namespace WindowPlace
} // namespace quillet
