#include "ui/settings/SettingWindowController.h"

#include "diary/Utility.h"
#include "ui/appearance/ThemeStyle.h"
#include "ui/passcode/PasscodeArt.h"
#include "ui/passcode/PasscodeView.h"
#include "ui/settings/CloudSettingView.h"
#include "ui/settings/MigrateSettingView.h"
#include "ui/settings/SettingsPaneStyle.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QStackedWidget>
#include <QToolBar>

namespace quillet {

SettingWindowController::SettingWindowController(Utility* utility, OldDataImporter* importer,
                                                 QWidget* parent)
    : QMainWindow(parent, Qt::Window), utility_(utility) {
    setObjectName(QStringLiteral("settingWindow"));
    resize(560, 440);
    setMinimumSize(480, 400);

    toolBar_ = new QToolBar(tr("Settings"), this);
    toolBar_->setObjectName(QStringLiteral("settingToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(28, 28));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // The panes are chosen here alone; the toolbar cannot be hidden from a context menu.
    toolBar_->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    items_ = new QActionGroup(this);
    items_->setExclusive(true);

    tabView_ = new QStackedWidget(this);
    tabView_->setObjectName(QStringLiteral("tabView"));
    setCentralWidget(tabView_);

    const qreal ratio = qApp->devicePixelRatio();
    const QColor ink = SettingsPaneStyle::glyphColor();
    passcodeView_ = new PasscodeView(utility, tabView_, PasscodeView::Role::SettingsPane);
    addPane(passcodeView_, QStringLiteral("Passcode"), tr("Passcode"),
            QIcon(PasscodeArt::padlockImage(28, ink, false, ratio)));
    cloudSettingView_ = new CloudSettingView(utility, tabView_);
    addPane(cloudSettingView_, QStringLiteral("Cloud"), tr("Cloud"),
            QIcon(SettingsPaneStyle::cloudGlyph(28, ink, ratio)));
    migrateSettingView_ = new MigrateSettingView(importer, tabView_);
    addPane(migrateSettingView_, QStringLiteral("Migration"), tr("Migration"),
            QIcon(SettingsPaneStyle::migrationGlyph(28, ink, ratio)));

    tabView_->setCurrentIndex(0);
    awakeFromNib();
    applyAppearance();
    connect(utility, &Utility::appearanceChanged, this, &SettingWindowController::applyAppearance);

    // Closes like any dialog: Escape, Ctrl+W, or the desktop's own close key.
    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence& standard : QKeySequence::keyBindings(QKeySequence::Close)) {
        if (!keys.contains(standard)) {
            keys.append(standard);
        }
    }
    auto* close = new QAction(this);
    close->setShortcuts(keys);
    close->setShortcutContext(Qt::WindowShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, [this] { performClose(this); });
}

void SettingWindowController::addPane(QWidget* pane, const QString& identifier,
                                      const QString& label, const QIcon& icon) {
    const int tag = tabView_->addWidget(pane);
    // The tab item's identifier is the toolbar item's.
    pane->setProperty("identifier", identifier);
    auto* item = new QAction(icon, label, items_);
    item->setObjectName(identifier);
    item->setProperty("identifier", identifier);
    item->setProperty("tag", tag);
    item->setCheckable(true);
    toolBar_->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] { switchTab(item); });
}

QList<QAction*> SettingWindowController::toolbarItems() const {
    return items_->actions();
}

QString SettingWindowController::selectedItemIdentifier() const {
    const QAction* checked = items_->checkedAction();
    return checked ? checked->property("identifier").toString() : QString();
}

void SettingWindowController::setSelectedItemIdentifier(const QString& identifier) {
    for (QAction* item : items_->actions()) {
        if (item->property("identifier").toString() == identifier) {
            item->setChecked(true);
        }
    }
}

void SettingWindowController::awakeFromNib() {
    if (QWidget* shown = tabView_->currentWidget()) {
        setSelectedItemIdentifier(shown->property("identifier").toString());
    }
    updateTitle();
}

void SettingWindowController::updateTitle() {
    const QAction* checked = items_->checkedAction();
    setWindowTitle(checked ? tr("Settings \u2014 %1").arg(checked->text()) : tr("Settings"));
}

void SettingWindowController::windowDidBecomeKey() {
    passcodeView_->prepareUI();
    migrateSettingView_->cleanStatusLabel();
}

void SettingWindowController::switchTab(QObject* sender) {
    passcodeView_->prepareUI();
    migrateSettingView_->cleanStatusLabel();
    bool ok = false;
    const int tag = sender ? sender->property("tag").toInt(&ok) : -1;
    // An index outside the panes selects nothing rather than failing.
    if (!ok || tag < 0 || tag >= tabView_->count()) {
        return;
    }
    tabView_->setCurrentIndex(tag);
    setSelectedItemIdentifier(tabView_->currentWidget()->property("identifier").toString());
    updateTitle();
}

bool SettingWindowController::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        windowDidBecomeKey();
    }
    return QMainWindow::event(event);
}

void SettingWindowController::showWindow(QObject* sender) {
    Q_UNUSED(sender);
    show();
    raise();
    activateWindow();
}

void SettingWindowController::performClose(QObject* sender) {
    Q_UNUSED(sender);
    close();
}

void SettingWindowController::applyAppearance() {
    const bool dark = utility_->isDarkAppearance();
    setStyleSheet(ThemeStyle::styleSheet(utility_->themeName(), dark));
    const QColor ink = ThemeStyle::glyphColor(dark);
    for (QAction* item : toolbarItems()) {
        const QPixmap glyph = item->icon().pixmap(toolBar_->iconSize(), devicePixelRatioF());
        item->setIcon(QIcon(SettingsPaneStyle::tinted(glyph, ink)));
    }
    for (QLabel* glyph : findChildren<QLabel*>(QStringLiteral("paneGlyph"))) {
        glyph->setPixmap(SettingsPaneStyle::tinted(glyph->pixmap(), ink));
    }
}

} // namespace quillet
