#include "ui/appearance/ThemeStyle.h"

namespace quillet {

namespace {
bool isEco(const QString& theme) {
    return theme == QLatin1String("eco");
}
} // namespace

QColor ThemeStyle::accentColor(const QString& themeName) {
    return isEco(themeName) ? QColor(105, 130, 78) : QColor(74, 132, 176);
}

QColor ThemeStyle::paperColor(const QString& themeName) {
    return isEco(themeName) ? QColor(246, 240, 226) : QColor(255, 255, 255);
}

QColor ThemeStyle::inkColor(const QString& themeName) {
    return isEco(themeName) ? QColor(62, 52, 40) : QColor(34, 38, 43);
}

QColor ThemeStyle::mutedInkColor(const QString& themeName) {
    return isEco(themeName) ? QColor(138, 124, 102) : QColor(128, 134, 142);
}

QString ThemeStyle::styleSheet(const QString& themeName) {
    const bool eco = isEco(themeName);
    const QString side = eco ? QStringLiteral("#ece3cf") : QStringLiteral("#f4f5f7");
    const QString line = eco ? QStringLiteral("#d6c9ac") : QStringLiteral("#dfe2e6");
    const QString paper = paperColor(themeName).name();
    const QString ink = inkColor(themeName).name();
    const QString muted = mutedInkColor(themeName).name();
    const QString accent = accentColor(themeName).name();
    const QString selection = eco ? QStringLiteral("#dcd0b2") : QStringLiteral("#dbe8f3");
    return QStringLiteral(R"css(
QMainWindow, QToolBar, QMenuBar { background: %1; color: %5; }
QToolBar { border: none; border-bottom: 1px solid %2; spacing: 4px; padding: 2px 6px; }
QToolBar QToolButton { color: %5; padding: 4px 10px; border-radius: 5px; }
QToolBar QToolButton:hover { background: %7; }
QToolBar QToolButton:disabled { color: %6; }
QToolBar QToolButton:checked { background: %7; border: 1px solid %4; }
#leftSplitView, #monthPanel, #leftButtomView { background: %1; }
QSplitter::handle { background: %2; }
#monthSelectView, #colorTagSelectView { background: transparent; color: %5; }
#colorTagSelectView::item { border-radius: 7px; padding: 1px; }
#colorTagSelectView::item:selected { background: %7; border: 1px solid %4; }
#colorTagSelectView::item:hover:!selected { background: %1; border: 1px solid %2; }
#entryTableView { background: %3; color: %5; border: 1px solid %2; border-radius: 6px; }
#searchField { background: %3; color: %5; border: 1px solid %2; border-radius: 12px; padding: 3px 10px; }
#searchField:focus { border-color: %4; }
#yearPopUp { background: transparent; color: %5; border: none; font-weight: 600; padding: 2px 6px; }
#editorPanel { background: %3; }
#editTextView { background: transparent; color: %5; selection-background-color: %7; selection-color: %5; padding: 12px 24px; }
#dateLabel { color: %6; }
#statusLabel { background: %3; border: 1px solid %2; border-left: 3px solid %4; border-radius: 6px; }
#statusLabelText { color: %5; background: transparent; }
#messageBar { background: %1; border: none; border-bottom: 1px solid %2; border-left: 3px solid #c0392b; }
#messageBarText { color: %5; background: transparent; }
#messageBarClose { color: %6; border: none; }
#emptyListHint { color: %6; background: transparent; }
#popover { background: %3; border: 1px solid %2; border-radius: 8px; }
QPushButton { background: %3; color: %5; border: 1px solid %2; border-radius: 6px; padding: 5px 14px; }
QPushButton:default { border-color: %4; }
QPushButton:hover { border-color: %4; }
QSlider::groove:horizontal { height: 3px; background: %2; border-radius: 1px; }
QSlider::handle:horizontal { background: %4; width: 12px; margin: -5px 0; border-radius: 6px; }
QToolTip { color: %5; background: %3; border: 1px solid %2; }
)css")
        .arg(side, line, paper, accent, ink, muted, selection);
}

} // namespace quillet
