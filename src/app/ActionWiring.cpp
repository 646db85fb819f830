#include "app/ActionWiring.h"

#include "app/AppDelegate.h"
#include "diary/Edition.h"
#include "diary/Utility.h"
#include "store/UndoManager.h"
#include "ui/HelpWindows.h"
#include "ui/JournalPopovers.h"
#include "ui/MainWindow.h"
#include "ui/appearance/ThemeColorPickerController.h"
#include "ui/settings/SettingWindowController.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QToolButton>

namespace quillet {

void ActionWiring::connectWindow(AppDelegate* d, MainWindow* w) {
    w->shouldClose = [d] { return d->windowWillClose(); };
    w->didBecomeKey = [d] { d->windowDidBecomeKey(); };
    w->didResignKey = [d] { d->windowDidResignKey(); };
    w->didBuildPopovers = [d](JournalPopovers* popovers) { connectPopovers(d, popovers); };

    // A menu command is the delegate's action, sent with the action as its sender.
    auto on = [d](QAction* action, auto method) {
        QObject::connect(action, &QAction::triggered, d, [d, action, method] {
            if (d->validateMenuItem()) {
                (d->*method)(action);
            }
        });
    };
    // The same, sent by the command's toolbar button, under which its popover opens.
    auto onButton = [d](QAction* action, QWidget* button, auto method) {
        QObject::connect(action, &QAction::triggered, d, [d, button, method] {
            if (d->validateMenuItem()) {
                (d->*method)(button);
            }
        });
    };
    on(w->newEntryAction, &AppDelegate::insertNewObject);
    on(w->saveAction, &AppDelegate::saveAction);
    on(w->exportAction, &AppDelegate::exportToTextAndPreview);
    QObject::connect(w->importAction, &QAction::triggered, d, [d] {
        if (d->validateMenuItem())
            d->showImportDialog();
    });
    on(w->exportEntriesAction, &AppDelegate::exportEntries);
    on(w->printAction, &AppDelegate::printEntries);
    on(w->settingsAction, &AppDelegate::showSettingWindow);
    on(w->findAction, &AppDelegate::focusSearch);
    on(w->todayAction, qOverload<QObject*>(&AppDelegate::currentMonth));
    on(w->prevMonthAction, &AppDelegate::prevMonth);
    on(w->nextMonthAction, &AppDelegate::nextMonth);
    on(w->prevYearAction, &AppDelegate::prevYear);
    on(w->nextYearAction, &AppDelegate::nextYear);
    onButton(w->trashAction, w->trashButton, &AppDelegate::showTrashConfirmPopover);
    onButton(w->tagAction, w->tagButton, &AppDelegate::showTagEditConfirmPopover);
    onButton(w->dateAction, w->dateButton, &AppDelegate::showDateEditPopover);
    // Typing not handed to its entry yet is the last step to undo.
    QObject::connect(w->undoAction, &QAction::triggered, d, [d] {
        if (UndoManager* undo = d->windowWillReturnUndoManager(); undo && d->validateMenuItem()) {
            d->endEditing();
            undo->undo();
        }
    });
    QObject::connect(w->redoAction, &QAction::triggered, d, [d] {
        if (UndoManager* undo = d->windowWillReturnUndoManager(); undo && d->validateMenuItem()) {
            d->endEditing();
            undo->redo();
        }
    });
    QObject::connect(w->closeAction, &QAction::triggered, w, &QWidget::close);
    QObject::connect(w->guideAction, &QAction::triggered, d, [w] { HelpWindows::showGuide(w); });
    QObject::connect(w->shortcutsAction, &QAction::triggered, d,
                     [w] { HelpWindows::showShortcuts(w, w->menuActions()); });
    QObject::connect(w->aboutAction, &QAction::triggered, d, [d, w] {
        Utility* u = d->utility();
        HelpWindows::showAbout(w, {u->edition().displayName(), QStringLiteral(QUILLET_VERSION),
                                   u->localStoreFolder(), u->cloudContainerURL(),
                                   QStringLiteral(QUILLET_SOURCE_URL)});
    });
    QObject::connect(w->quitAction, &QAction::triggered, d, [d] {
        if (d->applicationShouldTerminate()) {
            if (d->hasSettingWindow()) {
                d->settingWindowController()->performClose(d);
            }
            QApplication::exit(0);
        }
    });
    QObject::connect(w->useCloudNowButton, &QPushButton::clicked, d,
                     [d, w] { d->useCloudNow(w->useCloudNowButton); });
    QObject::connect(w->useCloudLaterButton, &QPushButton::clicked, d,
                     [d, w] { d->useCloudLater(w->useCloudLaterButton); });
}

void ActionWiring::connectPopovers(AppDelegate* d, JournalPopovers* p) {
    ColorPickerDelegate pickerDelegate;
    pickerDelegate.colorPicked = [d](const QVariant& tag) { d->colorPicked(tag); };
    p->colorPicker->setDelegate(std::move(pickerDelegate));

    // Each button is the sender of its action.
    const auto button = [d](QPushButton* b, void (AppDelegate::*action)(QObject*)) {
        QObject::connect(b, &QPushButton::clicked, d, [d, b, action] { (d->*action)(b); });
    };
    button(p->trashConfirmButton, &AppDelegate::popoverConfirmTrash);
    button(p->trashCancelButton, &AppDelegate::popoverCancelTrash);
    button(p->tagCancelButton, &AppDelegate::popoverCancelTagEdit);
    button(p->dateConfirmButton, &AppDelegate::popoverConfirmDateEdit);
    button(p->dateCancelButton, &AppDelegate::popoverCancelDateEdit);
}

} // namespace quillet
