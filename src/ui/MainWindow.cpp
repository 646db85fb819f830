#include "ui/MainWindow.h"

#include "core/SpellChecker.h"
#include "diary/Utility.h"
#include "ui/JournalPopovers.h"
#include "ui/LabelledToolButton.h"
#include "ui/MessageBar.h"
#include "ui/StatusLabel.h"
#include "ui/WindowKeys.h"
#include "ui/journal/ColorTagSelectView.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/EntryTableView.h"
#include "ui/journal/LeftSplitView.h"
#include "ui/journal/LeftSplitViewDelegate.h"
#include "ui/journal/LinkMarker.h"
#include "ui/journal/MainSplitViewDelegate.h"
#include "ui/journal/MonthSelectView.h"
#include "ui/journal/SearchMarker.h"
#include "ui/journal/SpellMarker.h"
#include "ui/journal/SpellingMenu.h"
#include "ui/passcode/PasscodeView.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace quillet {

MainWindow::MainWindow(Utility* utility, QWidget* parent) : QMainWindow(parent), utility_(utility) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Quillet"));
    resize(1024, 680);
    setMinimumSize(720, 480);

    buildMenus();

    content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(buildJournal());
    passcodeView = new PasscodeView(utility_, content);
    stack->addWidget(passcodeView);
    stack->addWidget(buildCloudQuestion());
    stack->addWidget(buildCloudBlocker());
    passcodeView->hide();
    askIfUseICloudView->hide();
    cloudDisabledBlockerView->hide();
    setCentralWidget(content);

    // The clear button shows only over a search; enabling it looks the icon
    // theme up (a few milliseconds), which waits for the first search.
    connect(searchField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && !searchField->isClearButtonEnabled()) {
            searchField->setClearButtonEnabled(true);
        }
    });
    // Loading a dictionary takes a few tens of milliseconds: after the paint.
    afterFirstPaint([this] { spellMarker->start(); });
    connect(spellingMenu, &QMenu::aboutToShow, this,
            [this] { fillSpellingMenu(spellingMenu, spellMarker); });

    // Export from wherever the focus is, the search results above all.
    for (QWidget* field :
         {static_cast<QWidget*>(searchField), static_cast<QWidget*>(editTextView)}) {
        WindowKeys::giveToWindow(field, {exportAction->shortcut()});
    }
}

void MainWindow::buildMenus() {
    auto make = [this](const QString& text, const QKeySequence& shortcut = QKeySequence()) {
        auto* action = new QAction(text, this);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
        }
        return action;
    };
    newEntryAction = make(tr("&New Entry"), QKeySequence::New);
    saveAction = make(tr("&Save"), QKeySequence::Save);
    exportAction = make(tr("&Export to Text\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E));
    importAction = make(tr("&Import\u2026"));
    exportEntriesAction = make(tr("E&xport\u2026"));
    printAction = make(tr("&Print\u2026"), QKeySequence::Print);
    settingsAction = make(tr("Se&ttings\u2026"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settingsAction->setMenuRole(QAction::PreferencesRole);
    closeAction = make(tr("&Close Window"), QKeySequence::Close);
    quitAction = make(tr("&Quit"), QKeySequence::Quit);
    quitAction->setShortcutContext(Qt::ApplicationShortcut);
    undoAction = make(tr("&Undo"), QKeySequence::Undo);
    redoAction = make(tr("&Redo"), QKeySequence::Redo);
    findAction = make(tr("&Find"), QKeySequence::Find);
    findNextAction = make(tr("Find &Next"), QKeySequence(Qt::Key_F3));
    findPreviousAction = make(tr("Find Pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    // Ctrl+Backspace and Ctrl+Home stay the text fields' word delete and top
    // of text; the entry commands take keys no text field binds.
    trashAction =
        make(tr("&Trash Entry\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace));
    tagAction = make(tr("Color &Tag\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    dateAction = make(tr("&Date and Time\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    todayAction = make(tr("&Today"), QKeySequence(Qt::ALT | Qt::Key_Home));
    prevMonthAction = make(tr("&Previous Month"), QKeySequence(Qt::CTRL | Qt::Key_BracketLeft));
    nextMonthAction = make(tr("&Next Month"), QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
    prevYearAction =
        make(tr("Previous &Year"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketLeft));
    nextYearAction =
        make(tr("Next Y&ear"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_BracketRight));
    fontAction = make(tr("&Font\u2026"), QKeySequence(Qt::CTRL | Qt::Key_T));
    cutAction = make(tr("Cu&t"), QKeySequence::Cut);
    copyAction = make(tr("&Copy"), QKeySequence::Copy);
    pasteAction = make(tr("&Paste"), QKeySequence::Paste);
    selectAllAction = make(tr("Select &All"), QKeySequence::SelectAll);
    guideAction =
        make(tr("%1 &Help").arg(QCoreApplication::applicationName()), QKeySequence::HelpContents);
    shortcutsAction = make(tr("&Keyboard Shortcuts"), QKeySequence(Qt::CTRL | Qt::Key_Question));
    aboutAction = make(tr("&About"));
    aboutAction->setMenuRole(QAction::AboutRole);
    // The text commands act on whichever text field has the keyboard.
    connect(cutAction, &QAction::triggered, this, [this] {
        editFocusedField([](QLineEdit* f) { f->cut(); }, [](QPlainTextEdit* e) { e->cut(); });
    });
    connect(copyAction, &QAction::triggered, this, [this] {
        editFocusedField([](QLineEdit* f) { f->copy(); }, [](QPlainTextEdit* e) { e->copy(); });
    });
    connect(pasteAction, &QAction::triggered, this, [this] {
        editFocusedField([](QLineEdit* f) { f->paste(); }, [](QPlainTextEdit* e) { e->paste(); });
    });
    connect(selectAllAction, &QAction::triggered, this, [this] {
        editFocusedField([](QLineEdit* f) { f->selectAll(); },
                         [](QPlainTextEdit* e) { e->selectAll(); });
    });

    toolbar = new QToolBar(tr("Toolbar"), this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, toolbar);
    toolbarToggleAction = toolbar->toggleViewAction();
    toolbarToggleAction->setText(tr("Show &Toolbar"));

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(newEntryAction);
    file->addAction(saveAction);
    file->addSeparator();
    file->addAction(importAction);
    file->addAction(exportEntriesAction);
    file->addAction(exportAction);
    file->addAction(printAction);
    file->addSeparator();
    file->addAction(settingsAction);
    file->addSeparator();
    file->addAction(closeAction);
    file->addAction(quitAction);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(undoAction);
    edit->addAction(redoAction);
    edit->addSeparator();
    edit->addAction(cutAction);
    edit->addAction(copyAction);
    edit->addAction(pasteAction);
    edit->addAction(selectAllAction);
    edit->addSeparator();
    edit->addAction(findAction);
    edit->addAction(findNextAction);
    edit->addAction(findPreviousAction);

    QMenu* entry = menuBar()->addMenu(tr("E&ntry"));
    entry->addAction(trashAction);
    entry->addAction(tagAction);
    entry->addAction(dateAction);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(todayAction);
    view->addAction(prevMonthAction);
    view->addAction(nextMonthAction);
    view->addAction(prevYearAction);
    view->addAction(nextYearAction);
    view->addSeparator();
    view->addAction(toolbarToggleAction);

    QMenu* format = menuBar()->addMenu(tr("F&ormat"));
    format->addAction(fontAction);
    spellingMenu = format->addMenu(tr("&Spelling"));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(guideAction);
    help->addAction(shortcutsAction);
    help->addAction(aboutAction);

    auto addButton = [this](QAction* action, const QString& label) {
        auto* button = new LabelledToolButton(action, label, toolbar);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        toolbar->addWidget(button);
        return button;
    };
    addButton(newEntryAction, tr("New"));
    trashButton = addButton(trashAction, tr("Trash"));
    tagButton = addButton(tagAction, tr("Tag"));
    dateButton = addButton(dateAction, tr("Date"));
    toolbar->addSeparator();
    addButton(todayAction, tr("Today"));
    addButton(exportAction, tr("Export"));
}

JournalPopovers* MainWindow::popovers() {
    if (!popovers_) {
        popovers_ = new JournalPopovers(this, utility_);
        if (didBuildPopovers) {
            didBuildPopovers(popovers_);
        }
    }
    return popovers_;
}

QList<QAction*> MainWindow::delegateActions() const {
    return {newEntryAction,  saveAction,     exportAction,   importAction, exportEntriesAction,
            printAction,     settingsAction, undoAction,     redoAction,   findAction,
            trashAction,     tagAction,      dateAction,     todayAction,  prevMonthAction,
            nextMonthAction, prevYearAction, nextYearAction, fontAction};
}

QList<QAction*> MainWindow::menuActions() const {
    QList<QAction*> all;
    for (const QAction* menu : menuBar()->actions()) {
        if (menu->menu()) {
            all += menu->menu()->actions();
        }
    }
    return all;
}

void MainWindow::editFocusedField(const std::function<void(QLineEdit*)>& line,
                                  const std::function<void(QPlainTextEdit*)>& text) {
    QWidget* focus = focusWidget();
    if (auto* field = qobject_cast<QLineEdit*>(focus)) {
        line(field);
    } else if (auto* editor = qobject_cast<QPlainTextEdit*>(focus)) {
        text(editor);
    }
}

QWidget* MainWindow::buildJournal() {
    mainView = new QSplitter(Qt::Horizontal, content);
    mainView->setObjectName(QStringLiteral("mainView"));
    mainView->setChildrenCollapsible(false);

    leftSplitView = new LeftSplitView(Qt::Vertical, mainView);
    leftSplitView->setObjectName(QStringLiteral("leftSplitView"));
    leftSplitView->setChildrenCollapsible(true);

    monthPanel = new QWidget(leftSplitView);
    monthPanel->setObjectName(QStringLiteral("monthPanel"));
    auto* monthLayout = new QVBoxLayout(monthPanel);
    monthLayout->setContentsMargins(4, 2, 4, 2);
    monthLayout->setSpacing(0);
    auto* yearRow = new QHBoxLayout;
    prevYearButton = new LabelledToolButton(prevYearAction, QStringLiteral("\u2039"), monthPanel);
    prevYearButton->setAutoRaise(true);
    yearPopUp = new QComboBox(monthPanel);
    yearPopUp->setObjectName(QStringLiteral("yearPopUp"));
    nextYearButton = new LabelledToolButton(nextYearAction, QStringLiteral("\u203a"), monthPanel);
    nextYearButton->setAutoRaise(true);
    yearRow->addWidget(prevYearButton);
    yearRow->addWidget(yearPopUp, 1);
    yearRow->addWidget(nextYearButton);
    monthLayout->addLayout(yearRow);
    monthSelectView = new MonthSelectView(monthPanel);
    monthLayout->addWidget(monthSelectView, 1);

    leftButtomView = new QWidget(leftSplitView);
    leftButtomView->setObjectName(QStringLiteral("leftButtomView"));
    auto* bottom = new QVBoxLayout(leftButtomView);
    bottom->setContentsMargins(4, 2, 4, 4);
    bottom->setSpacing(4);
    colorTagSelectView = new ColorTagSelectView(leftButtomView);
    bottom->addWidget(colorTagSelectView);
    searchField = new QLineEdit(leftButtomView);
    searchField->setObjectName(QStringLiteral("searchField"));
    searchField->setPlaceholderText(tr("Search all months"));
    bottom->addWidget(searchField);
    entryTableView = new EntryTableView(leftButtomView);
    bottom->addWidget(entryTableView, 1);
    // Under the list, in the layout: it takes its own line while it shows and
    // never covers an entry or the editor.
    statusLabel = new StatusLabel(leftButtomView);
    statusLabel->hide();
    bottom->addWidget(statusLabel);

    leftSplitView->addWidget(monthPanel);
    leftSplitView->addWidget(leftButtomView);
    leftSplitView->setSizes({137, 480});
    auto* leftDelegate = new LeftSplitViewDelegate(leftSplitView);
    leftDelegate->topView = monthPanel;
    leftDelegate->bottomView = leftButtomView;
    leftDelegate->setSplitView(leftSplitView);

    editorPanel = new QWidget(mainView);
    editorPanel->setObjectName(QStringLiteral("editorPanel"));
    auto* editor = new QVBoxLayout(editorPanel);
    editor->setContentsMargins(0, 0, 0, 0);
    editor->setSpacing(0);
    messageBar = new MessageBar(editorPanel);
    editor->addWidget(messageBar);
    dateLabel = new QLabel(editorPanel);
    dateLabel->setObjectName(QStringLiteral("dateLabel"));
    dateLabel->setContentsMargins(16, 8, 16, 4);
    editor->addWidget(dateLabel);
    editTextView = new EditTextView(utility_, editorPanel);
    editor->addWidget(editTextView, 1);
    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(16, 2, 16, 2);
    footLabel = new QLabel(editorPanel);
    footLabel->setObjectName(QStringLiteral("footLabel"));
    footLabel->setScaledContents(true);
    footLabel->setFixedHeight(14);
    // The band is stretched to fit; its 600-pixel image must not set the
    // editor side's minimum width, which would squeeze the left column.
    footLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    fontSlider = new QSlider(Qt::Horizontal, editorPanel);
    fontSlider->setObjectName(QStringLiteral("fontSlider"));
    fontSlider->setFixedWidth(140);
    footer->addWidget(footLabel, 1);
    footer->addWidget(fontSlider);
    editor->addLayout(footer);

    mainView->addWidget(leftSplitView);
    mainView->addWidget(editorPanel);
    mainView->setSizes({320, 704});
    auto* mainDelegate = new MainSplitViewDelegate(mainView);
    mainDelegate->leftView = leftSplitView;
    mainDelegate->rightView = editorPanel;
    mainDelegate->setSplitView(mainView);

    monthSelectView->entryTableView = entryTableView;
    monthSelectView->yearDropDown = yearPopUp;
    entryTableView->editTextView = editTextView;
    entryTableView->monthSelectView = monthSelectView;
    editTextView->setFontSlider(fontSlider);
    connect(fontAction, &QAction::triggered, editTextView,
            [this] { editTextView->orderFrontFontPanel(fontAction); });
    editTextView->entryTableView = entryTableView;
    spellMarker = new SpellMarker(editTextView, new SpellChecker(this), utility_->userDefalts());
    editTextView->spellMarker = spellMarker;
    searchMarker = new SearchMarker(editTextView, [this] { return searchField->text(); });
    connect(searchField, &QLineEdit::textChanged, searchMarker, &SearchMarker::searchChanged);
    connect(findNextAction, &QAction::triggered, searchMarker, &SearchMarker::findNext);
    connect(findPreviousAction, &QAction::triggered, searchMarker, &SearchMarker::findPrevious);
    linkMarker = new LinkMarker(editTextView);
    nameControls();
    return mainView;
}

void MainWindow::nameControls() {
    // What a screen reader says for each control that shows no text of its own.
    const std::pair<QWidget*, QString> names[] = {
        {mainView, tr("Journal")},
        {leftSplitView, tr("Months and entries")},
        {yearPopUp, tr("Year")},
        {monthSelectView, tr("Month")},
        {colorTagSelectView, tr("Color filter")},
        {searchField, tr("Search all months")},
        {entryTableView, tr("Entries")},
        {editTextView, tr("Entry text")},
        {fontSlider, tr("Font size")},
    };
    for (const auto& [widget, name] : names) {
        widget->setAccessibleName(name);
    }
    colorTagSelectView->setAccessibleDescription(tr("Lists only the entries of one color"));
    fontSlider->setAccessibleDescription(tr("The size of the entry text"));
}

QWidget* MainWindow::buildCloudQuestion() {
    askIfUseICloudView = new QWidget(content);
    askIfUseICloudView->setObjectName(QStringLiteral("askIfUseICloudView"));
    askIfUseICloudView->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(askIfUseICloudView);
    layout->addStretch(1);
    auto* question = new QLabel(tr("Keep your diary in the cloud folder, so that your other "
                                   "computers see the same entries?"),
                                askIfUseICloudView);
    question->setWordWrap(true);
    question->setAlignment(Qt::AlignCenter);
    layout->addWidget(question);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    useCloudLaterButton = new QPushButton(tr("Not Now"), askIfUseICloudView);
    useCloudNowButton = new QPushButton(tr("Use the Cloud Folder"), askIfUseICloudView);
    buttons->addWidget(useCloudLaterButton);
    buttons->addWidget(useCloudNowButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    return askIfUseICloudView;
}

QWidget* MainWindow::buildCloudBlocker() {
    cloudDisabledBlockerView = new QWidget(content);
    cloudDisabledBlockerView->setObjectName(QStringLiteral("cloudDisabledBlockerView"));
    cloudDisabledBlockerView->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(cloudDisabledBlockerView);
    auto* text = new QLabel(tr("Your diary lives in the cloud folder, which cannot be reached "
                               "now. Make the cloud folder available again and reopen Quillet."),
                            cloudDisabledBlockerView);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    return cloudDisabledBlockerView;
}

void MainWindow::afterFirstPaint(std::function<void()> fn) {
    afterFirstPaint_.push_back(std::move(fn));
    if (painted_) {
        QMetaObject::invokeMethod(
            this, [this] { runAfterFirstPaint(); }, Qt::QueuedConnection);
    }
}

void MainWindow::runAfterFirstPaint() {
    // Taken out first: a step may ask for more.
    for (const std::function<void()>& fn : std::exchange(afterFirstPaint_, {})) {
        fn();
    }
}

bool MainWindow::event(QEvent* event) {
    // The whole window is painted within its first update request (or paint
    // event): once that returns, the first screen is there.
    const bool first =
        !painted_ && (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint);
    const bool handled = QMainWindow::event(event);
    if (first) {
        painted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { runAfterFirstPaint(); }, Qt::QueuedConnection);
    }
    return handled;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (shouldClose && !shouldClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && didBecomeKey) {
        didBecomeKey();
    } else if (event->type() == QEvent::ActivationChange && !isActiveWindow() && didResignKey) {
        didResignKey();
    }
}

} // namespace quillet
