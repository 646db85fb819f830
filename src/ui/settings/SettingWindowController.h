#pragma once

#include <QMainWindow>

class QAction;
class QActionGroup;
class QStackedWidget;
class QToolBar;

namespace quillet {

class CloudSettingView;
class MigrateSettingView;
class OldDataImporter;
class PasscodeView;
class Utility;

// The settings window: its panes in a tab view without visible tabs,
// switched by the items of its toolbar. Item i carries the tag i and the
// identifier of the pane it shows.
class SettingWindowController : public QMainWindow {
    Q_OBJECT
public:
    // The panes get utility, and the migration pane importer.
    SettingWindowController(Utility* utility, OldDataImporter* importer, QWidget* parent = nullptr);

    void showWindow(QObject* sender);
    void performClose(QObject* sender);

    QStackedWidget* tabView() const { return tabView_; }
    QToolBar* toolBar() const { return toolBar_; }
    PasscodeView* passcodeView() const { return passcodeView_; }
    CloudSettingView* cloudSettingView() const { return cloudSettingView_; }
    MigrateSettingView* migrateSettingView() const { return migrateSettingView_; }

    // The toolbar items in pane order, and the one shown as selected.
    QList<QAction*> toolbarItems() const;
    QString selectedItemIdentifier() const;
    void setSelectedItemIdentifier(const QString& identifier);

    // Makes the toolbar show the pane that the tab view shows.
    void awakeFromNib();
    void windowDidBecomeKey();
    // sender: a toolbar item; its "tag" property is the index of its pane.
    void switchTab(QObject* sender);
    // The theme's light or dark variant, as the Utility says; again at each change.
    void applyAppearance();

protected:
    bool event(QEvent* event) override;

private:
    void addPane(QWidget* pane, const QString& identifier, const QString& label, const QIcon& icon);
    void updateTitle();

    Utility* utility_ = nullptr;
    QStackedWidget* tabView_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QActionGroup* items_ = nullptr;
    PasscodeView* passcodeView_ = nullptr;
    CloudSettingView* cloudSettingView_ = nullptr;
    MigrateSettingView* migrateSettingView_ = nullptr;
};

} // namespace quillet
