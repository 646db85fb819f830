#include "ui/settings/SettingsPaneStyle.h"

#include "ui/appearance/ThemeStyle.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace quillet::SettingsPaneStyle {

namespace {
QPixmap canvas(int width, int height, qreal ratio) {
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QFont scaled(const QFont& base, qreal factor, QFont::Weight weight) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * factor);
    font.setWeight(weight);
    return font;
}
} // namespace

QColor glyphColor() {
    return ThemeStyle::glyphColor(false);
}

QPixmap tinted(const QPixmap& glyph, const QColor& color) {
    QPixmap out = glyph;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(QRect(QPoint(0, 0), out.size()), color);
    return out;
}

QLabel* makeDetailLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setProperty(ThemeStyle::detailProperty(), true);
    QPalette grey = label->palette();
    grey.setColor(QPalette::WindowText, QColor(0x6a, 0x6a, 0x6a));
    label->setPalette(grey);
    return label;
}

void addHeader(QBoxLayout* layout, QWidget* pane, const QPixmap& glyph, const QString& title,
               const QString& subtitle) {
    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    auto* icon = new QLabel(pane);
    icon->setObjectName(QStringLiteral("paneGlyph"));
    icon->setPixmap(glyph);
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    header->addWidget(icon);
    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    auto* heading = new QLabel(title, pane);
    heading->setObjectName(QStringLiteral("paneTitle"));
    heading->setFont(scaled(pane->font(), 1.3, QFont::DemiBold));
    text->addWidget(heading);
    QLabel* detail = makeDetailLabel(subtitle, pane);
    detail->setObjectName(QStringLiteral("paneSubtitle"));
    text->addWidget(detail);
    header->addLayout(text, 1);
    layout->addLayout(header);
    auto* rule = new QFrame(pane);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);
}

void addSection(QBoxLayout* layout, QWidget* pane, const QString& title, const QString& detail) {
    auto* heading = new QLabel(title, pane);
    heading->setFont(scaled(pane->font(), 1.05, QFont::DemiBold));
    layout->addWidget(heading);
    layout->addWidget(makeDetailLabel(detail, pane));
}

QPixmap cloudGlyph(int height, const QColor& color, qreal devicePixelRatio) {
    // Square like the other glyphs, so that a toolbar draws them at one size.
    const qreal s = height;
    QPixmap pixmap = canvas(height, height, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QPointF(s * 0.27, s * 0.60), s * 0.20, s * 0.20);
    cloud.addEllipse(QPointF(s * 0.52, s * 0.45), s * 0.27, s * 0.27);
    cloud.addEllipse(QPointF(s * 0.76, s * 0.60), s * 0.19, s * 0.19);
    cloud.addRoundedRect(QRectF(s * 0.07, s * 0.58, s * 0.88, s * 0.22), s * 0.11, s * 0.11);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(cloud.simplified());
    return pixmap;
}

QPixmap migrationGlyph(int height, const QColor& color, qreal devicePixelRatio) {
    const int width = height;
    QPixmap pixmap = canvas(width, height, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = height;
    const qreal stroke = h / 10.0;
    p.setPen(QPen(color, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    // A tray with an arrow coming down into it: data brought in.
    QPainterPath tray;
    tray.moveTo(h * 0.12, h * 0.58);
    tray.lineTo(h * 0.12, h * 0.86);
    tray.lineTo(h * 0.88, h * 0.86);
    tray.lineTo(h * 0.88, h * 0.58);
    p.drawPath(tray);
    p.drawLine(QPointF(h * 0.5, h * 0.10), QPointF(h * 0.5, h * 0.64));
    QPainterPath head;
    head.moveTo(h * 0.32, h * 0.46);
    head.lineTo(h * 0.5, h * 0.66);
    head.lineTo(h * 0.68, h * 0.46);
    p.drawPath(head);
    return pixmap;
}

} // namespace quillet::SettingsPaneStyle
