#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

class QBoxLayout;
class QLabel;
class QWidget;

namespace quillet::SettingsPaneStyle {

// The look shared by the settings panes: a heading with its glyph and one
// line of explanation, then the pane's sections.
void addHeader(QBoxLayout* layout, QWidget* pane, const QPixmap& glyph, const QString& title,
               const QString& subtitle);
// A bold section title with its explanation below.
void addSection(QBoxLayout* layout, QWidget* pane, const QString& title, const QString& detail);
QLabel* makeDetailLabel(const QString& text, QWidget* parent);

// Toolbar glyphs of the settings window, drawn in the given color.
QPixmap cloudGlyph(int height, const QColor& color, qreal devicePixelRatio);
QPixmap migrationGlyph(int height, const QColor& color, qreal devicePixelRatio);

QColor glyphColor();
// A one-colour glyph drawn again in another colour (its shape kept).
QPixmap tinted(const QPixmap& glyph, const QColor& color);

} // namespace quillet::SettingsPaneStyle
