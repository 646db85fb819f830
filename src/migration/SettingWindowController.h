#pragma once

#include <QMainWindow>

namespace quillet {

// The settings window: its panes in a tab view without visible tabs,
// switched by the items of its toolbar.
class SettingWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit SettingWindowController(QWidget* parent = nullptr);
    void showWindow(QObject* sender);
    void performClose(QObject* sender);
};

} // namespace quillet
