// Long entries through the whole application, each of prose (lines of
// words) and of one unbroken line (a pasted blob): showing such an entry of
// 10 KB, 1 MB and 5 MB, one key typed into it with the window shown
// (offscreen), the events it causes included (the editor's repaint), a
// search keystroke while it is listed; the automatic save of such an entry
// on its own; and the CPU an entry of 20 MB costs while it is merely shown
// and nothing happens.
#include "BenchSupport.h"

#include "DiaryGenerator.h"

#include "app/AppDelegate.h"
#include "diary/SaveScheduler.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"
#include "ui/journal/EditTextView.h"
#include "ui/journal/SpellMarker.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>

namespace quillet::bench {
namespace {

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

enum TextKind { Prose = 0, OneLine = 1 };

QString textOf(qint64 bytes, int kind) {
    return diarygen::longText(bytes, kind == OneLine);
}

// A fresh diary with an empty entry and, newest, one holding `bytes` of
// text, shown in the editor. The text goes into the record, as a diary
// file or a merge would bring it, not through the editor.
std::unique_ptr<AppDelegate> launchWithEntryOf(qint64 bytes, int kind = Prose) {
    const QString folder =
        QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/Quillet2");
    QDir().mkpath(folder);
    const QString store = folder + QStringLiteral("/entries.sqlite");
    for (const char* side : {"", "-wal", "-shm", ".lock"}) {
        QFile::remove(store + QLatin1String(side));
    }
    auto delegate = std::make_unique<AppDelegate>();
    delegate->loadInterface();
    delegate->window()->resize(1100, 760);
    delegate->window()->show();
    delegate->applicationDidFinishLaunching();
    settle();
    delegate->insertNewObject(nullptr);
    settle();
    QThread::msleep(2); // the two entries one after the other in the list
    delegate->insertNewObject(nullptr);
    settle();
    delegate->arrayController()->selectedObject()->setValue(textOf(bytes, kind),
                                                            QStringLiteral("entryText"));
    settle();
    delegate->editTextView()->moveCursor(QTextCursor::End);
    delegate->flushUnsavedChanges();
    settle();
    return delegate;
}

void typeKey(QWidget* editor, int i) {
    const QString letter(QChar(u'a' + i % 26));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, letter);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + i % 26, Qt::NoModifier, letter);
    QApplication::sendEvent(editor, &press);
    QApplication::sendEvent(editor, &release);
}

void entrySizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"bytes", "one_line"});
    for (const int kind : {Prose, OneLine}) {
        for (const qint64 bytes : {10 * 1024, 1024 * 1024, 5 * 1024 * 1024}) {
            b->Args({bytes, kind});
        }
    }
    b->Unit(benchmark::kMillisecond);
}

// Selecting the long entry (from the empty one beside it) until the window
// has painted it: what a click in the list or a launch showing it costs.
void BM_ShowLongEntry(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    ArrayController* list = delegate->arrayController();
    for (auto _ : state) {
        state.PauseTiming();
        list->setSelectionIndex(1);
        settle();
        state.ResumeTiming();
        list->setSelectionIndex(0);
        delegate->window()->repaint();
        settle();
    }
}
BENCHMARK(BM_ShowLongEntry)->Apply(entrySizes);

// One key and its repaint, spell checking off (see below for it on). The
// automatic save is measured apart (below), as it runs once per pause or
// every couple of seconds, not per key.
void BM_KeystrokeInLongEntry(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    delegate->window()->spellMarker->setOn(false);
    EditTextView* editor = delegate->editTextView();
    editor->setFocus();
    int i = 0;
    for (auto _ : state) {
        typeKey(editor, i++);
        settle();
        delegate->saveScheduler()->cancel();
    }
    state.counters["entry_kB"] = double(state.range(0)) / 1024.0;
}
BENCHMARK(BM_KeystrokeInLongEntry)->Apply(entrySizes);

// The same key with spell checking on in en_US: the words shown are checked
// again after each key. A key must stay within a frame at 60 Hz.
void BM_KeystrokeCheckingSpelling(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    SpellMarker* marker = delegate->window()->spellMarker;
    marker->start();
    marker->setOn(true);
    marker->setLanguage(QStringLiteral("en_US"));
    if (marker->language() != QStringLiteral("en_US")) {
        state.SkipWithError("no en_US dictionary installed (hunspell-en-us)");
        return;
    }
    EditTextView* editor = delegate->editTextView();
    editor->setFocus();
    settle();
    int i = 0;
    double worstMs = 0;
    for (auto _ : state) {
        QElapsedTimer key;
        key.start();
        typeKey(editor, i++);
        settle();
        worstMs = std::max(worstMs, double(key.nsecsElapsed()) / 1e6);
        delegate->saveScheduler()->cancel();
    }
    state.counters["worst_key_ms"] = worstMs;
    state.counters["target_ms"] = 16;
}
BENCHMARK(BM_KeystrokeCheckingSpelling)->Apply(entrySizes);

// The checking's own share of such a key: the shown words found, looked up
// (cached) and marked.
void BM_MarkShownWords(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    SpellMarker* marker = delegate->window()->spellMarker;
    marker->start();
    marker->setLanguage(QStringLiteral("en_US"));
    if (marker->language() != QStringLiteral("en_US")) {
        state.SkipWithError("no en_US dictionary installed (hunspell-en-us)");
        return;
    }
    settle();
    for (auto _ : state) {
        marker->mark();
    }
}
BENCHMARK(BM_MarkShownWords)->Apply(entrySizes);

// One search keystroke, alternately matching the long entry's text and
// nothing, until the list shows the result.
void BM_SearchWithLongEntry(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    int i = 0;
    for (auto _ : state) {
        delegate->searchField()->setText((i++ & 1) ? QStringLiteral("zzq") : QStringLiteral("h"));
        settle();
    }
    delegate->searchField()->clear();
    settle();
}
BENCHMARK(BM_SearchWithLongEntry)->Apply(entrySizes);

// A long text (from ManagedObjectContext::kSaveAsideBytes) is written beside
// the window: its save is waited for, untimed, before the next key.
void waitForSaveAside(AppDelegate& delegate) {
    while (delegate.managedObjectContext()->isSavingAside()) {
        QEventLoop wait;
        QTimer::singleShot(1, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

// What a pause in typing costs the window: the text handed to its entry and
// saved, or for a long text the save started beside it.
void BM_AutosaveOfLongEntry(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    EditTextView* editor = delegate->editTextView();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        waitForSaveAside(*delegate);
        typeKey(editor, i++);
        state.ResumeTiming();
        delegate->autosave();
    }
}
BENCHMARK(BM_AutosaveOfLongEntry)->Apply(entrySizes);

// The same save as it comes in use, after a pause in typing: a long text has
// been folded beside the main thread meanwhile.
void BM_AutosaveAfterPause(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    EditTextView* editor = delegate->editTextView();
    ManagedObjectContext* context = delegate->managedObjectContext();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        waitForSaveAside(*delegate);
        typeKey(editor, i++);
        QEventLoop pause;
        QTimer::singleShot(ManagedObjectContext::kFoldAheadPauseMs + 20, &pause, &QEventLoop::quit);
        pause.exec();
        while (context->isFoldingAhead()) {
            QEventLoop wait;
            QTimer::singleShot(5, &wait, &QEventLoop::quit);
            wait.exec();
        }
        state.ResumeTiming();
        delegate->autosave();
    }
}
// Each step waits a pause of typing: a fixed count keeps the run to seconds.
BENCHMARK(BM_AutosaveAfterPause)->Apply(entrySizes)->Iterations(20);

// Typing as a person types (a key every 100 ms), then a pause in which the
// automatic save comes, twice: the longest the main loop could not turn, by
// a timer that should fire every 2 ms. The window must answer within 30 ms.
void BM_StallWhileTypingInLongEntry(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(state.range(0), int(state.range(1)));
    EditTextView* editor = delegate->editTextView();
    editor->setFocus();
    double longestMs = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTick.nsecsElapsed());
            sinceTick.restart();
        });
        int key = 0;
        QTimer typist;
        QObject::connect(&typist, &QTimer::timeout, [&] {
            // Twelve keys, a pause of two seconds, twelve keys, a pause.
            const int step = key++ % 32;
            if (step < 12) {
                typeKey(editor, key);
            }
            if (key == 64) {
                loop.quit();
            }
        });
        sinceTick.start();
        ticker.start(2);
        typist.start(100);
        loop.exec();
        longestMs = std::max(longestMs, double(longest) / 1e6 - 2);
    }
    if (delegate->managedObjectContext()->hasChanges()) {
        state.SkipWithError("the pauses did not save what was typed");
    }
    state.counters["longest_stall_ms"] = longestMs;
    state.counters["target_ms"] = 30;
}
BENCHMARK(BM_StallWhileTypingInLongEntry)
    ->ArgNames({"bytes", "one_line"})
    ->Args({5 * 1024 * 1024, Prose})
    ->Args({1024 * 1024, OneLine})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A 20 MB entry on screen, the event loop running, nobody typing: the CPU
// share of one core it takes (timers, cursor blinking, repaints).
void BM_IdleWithLongEntryShown(benchmark::State& state) {
    std::unique_ptr<AppDelegate> delegate = launchWithEntryOf(20 * 1024 * 1024);
    // Focused in the active window, so that the cursor blinks as it would for the user.
    delegate->window()->activateWindow();
    QApplication::setActiveWindow(delegate->window());
    delegate->editTextView()->setFocus();
    settle();
    double share = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        const double before = processCpuSeconds();
        loop.exec();
        share = (processCpuSeconds() - before) / 3.0;
    }
    state.counters["cpu_percent"] = share * 100.0;
}
BENCHMARK(BM_IdleWithLongEntryShown)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillet::bench
