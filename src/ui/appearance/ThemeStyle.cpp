#include "ui/appearance/ThemeStyle.h"

namespace quillet {

namespace {
bool isEco(const QString& theme) {
    return theme == QLatin1String("eco");
}

// Four variants: basic or eco, light or dark. Dark "basic" is slate and
// "eco" a walnut desk with cream ink; the accents are lifted to read on them.
const char* pick(const QString& theme, bool dark, const char* basicLight, const char* ecoLight,
                 const char* basicDark, const char* ecoDark) {
    if (dark) {
        return isEco(theme) ? ecoDark : basicDark;
    }
    return isEco(theme) ? ecoLight : basicLight;
}

QColor color(const char* name) {
    return QColor(QLatin1String(name));
}
} // namespace

QColor ThemeStyle::accentColor(const QString& themeName, bool dark) {
    return color(pick(themeName, dark, "#4a84b0", "#69824e", "#72acd9", "#a3c07e"));
}

QColor ThemeStyle::paperColor(const QString& themeName, bool dark) {
    return color(pick(themeName, dark, "#ffffff", "#f6f0e2", "#262b31", "#322b22"));
}

QColor ThemeStyle::inkColor(const QString& themeName, bool dark) {
    return color(pick(themeName, dark, "#22262b", "#3e3428", "#e4e8ec", "#eee4d0"));
}

QColor ThemeStyle::mutedInkColor(const QString& themeName, bool dark) {
    return color(pick(themeName, dark, "#80868e", "#8a7c66", "#9ea7b1", "#b8a98e"));
}

QColor ThemeStyle::glyphColor(bool dark) {
    return dark ? QColor(0xc8, 0xcc, 0xd0) : QColor(0x55, 0x55, 0x55);
}

const char* ThemeStyle::detailProperty() {
    return "quilletDetail";
}

QString ThemeStyle::styleSheet(const QString& themeName, bool dark) {
    const QString side =
        color(pick(themeName, dark, "#f4f5f7", "#ece3cf", "#1d2125", "#28231b")).name();
    const QString line =
        color(pick(themeName, dark, "#dfe2e6", "#d6c9ac", "#3a4047", "#4b4234")).name();
    const QString paper = paperColor(themeName, dark).name();
    const QString ink = inkColor(themeName, dark).name();
    const QString muted = mutedInkColor(themeName, dark).name();
    const QString accent = accentColor(themeName, dark).name();
    const QString selection =
        color(pick(themeName, dark, "#dbe8f3", "#dcd0b2", "#34495c", "#4f4634")).name();
    // Labels keep the colours their views give them under the light variant;
    // under the dark one those (dark greys, mostly) would vanish. The lock
    // screen's card stays white paper, so its labels keep dark ink.
    const QString darkLabels =
        dark ? QStringLiteral("QLabel { color: %1; }\n"
                              "QLabel[quilletDetail=\"true\"] { color: %2; }\n"
                              "QLabel#alertText { color: #ef7b6e; }\n"
                              "#passcodeCard QLabel { color: #2b2b2b; }\n"
                              "#passcodeCard QLabel#alertText { color: #c0392b; }\n")
                   .arg(ink, muted)
             : QString();
    return darkLabels + QStringLiteral(R"css(
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
