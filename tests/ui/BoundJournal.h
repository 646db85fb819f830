#pragma once

// The main window's journal controls bound to a diary's context as the
// application binds them: the list, its filter reading the window's search
// field, and the controls following every change of the context.
#include "diary/Utility.h"
#include "diary/journal/JournalFilter.h"
#include "store/ArrayController.h"
#include "store/ChangeSet.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/JournalControls.h"

#include <QLineEdit>

namespace quillet::test {

struct BoundJournal {
    explicit BoundJournal(ManagedObjectContext* context)
        : filter(
              &list,
              [](const QDateTime& date) { return Utility::sharedUtility()->monthTagForDate(date); },
              [this] { return window.searchField->text(); }),
          controls(&window, &filter, &list, Utility::sharedUtility()) {
        list.setManagedObjectContext(context);
        list.setSortDescriptors(filter.currSortDescriptors());
        window.entryTableView->setModel(&list);
        controls.connectControls();
        QObject::connect(context, &ManagedObjectContext::objectsDidChange, &controls,
                         [this](const ChangeSet& changes) { controls.entryChanged(changes); });
        filter.initMonthPanelSelection();
        filter.reloadData();
    }
    MainWindow window{Utility::sharedUtility()};
    ArrayController list;
    JournalFilter filter;
    JournalControls controls;
};

} // namespace quillet::test
