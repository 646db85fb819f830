// quillet_imagegen: renders the diary's bitmap resources.
//
// Usage: quillet_imagegen <output-dir>
//
// Every image is drawn with QPainter (plus a little per-pixel work for paper
// textures). All randomness comes from a fixed integer hash, so a re-run
// produces byte-identical PNG files.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int kTags = 6;

// ---------------------------------------------------------------------------
// Colour helpers

QColor rgb(int r, int g, int b, int a = 255) {
    return QColor(r, g, b, a);
}

QColor mix(const QColor& a, const QColor& b, double t) {
    auto lerp = [t](double x, double y) { return x + (y - x) * t; };
    return QColor::fromRgbF(float(lerp(a.redF(), b.redF())), float(lerp(a.greenF(), b.greenF())),
                            float(lerp(a.blueF(), b.blueF())), float(lerp(a.alphaF(), b.alphaF())));
}

QColor withAlpha(QColor c, double a) {
    c.setAlphaF(float(std::clamp(a, 0.0, 1.0)));
    return c;
}

QColor darken(const QColor& c, double t) {
    return mix(c, QColor(0, 0, 0, c.alpha()), t);
}
QColor lighten(const QColor& c, double t) {
    return mix(c, QColor(255, 255, 255, c.alpha()), t);
}

// ---------------------------------------------------------------------------
// Deterministic noise

quint32 hash3(int x, int y, quint32 seed) {
    quint32 h = seed * 0x9E3779B1u;
    h ^= quint32(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= quint32(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Uniform in [0, 1).
double rand01(int x, int y, quint32 seed) {
    return double(hash3(x, y, seed) & 0xFFFFFFu) / 16777216.0;
}

quint32 nameSeed(const QString& s) {
    quint32 h = 2166136261u;
    for (QChar ch : s) {
        h ^= ch.unicode();
        h *= 16777619u;
    }
    return h;
}

int wrap(int v, int p) {
    return ((v % p) + p) % p;
}

// Value noise on a lattice that repeats every pu x pv cells; result in [0, 1].
double valueNoise(double u, double v, int pu, int pv, quint32 seed) {
    const double fu = std::floor(u), fv = std::floor(v);
    const int iu = int(fu), iv = int(fv);
    double tu = u - fu, tv = v - fv;
    tu = tu * tu * (3 - 2 * tu);
    tv = tv * tv * (3 - 2 * tv);
    const int u0 = wrap(iu, pu), u1 = wrap(iu + 1, pu);
    const int v0 = wrap(iv, pv), v1 = wrap(iv + 1, pv);
    const double a = rand01(u0, v0, seed), b = rand01(u1, v0, seed);
    const double c = rand01(u0, v1, seed), d = rand01(u1, v1, seed);
    return (a + (b - a) * tu) + ((c + (d - c) * tu) - (a + (b - a) * tu)) * tv;
}

// Fractal noise that tiles seamlessly over a w x h image; result roughly in [-1, 1].
// cellsX / cellsY: lattice cells across the image at the coarsest octave.
double tileFbm(double x, double y, int w, int h, int cellsX, int cellsY, int octaves,
               quint32 seed) {
    double sum = 0, norm = 0, amp = 1;
    int px = cellsX, py = cellsY;
    for (int o = 0; o < octaves; ++o) {
        sum +=
            amp * (valueNoise(x / w * px, y / h * py, px, py, seed + quint32(o) * 7919u) * 2 - 1);
        norm += amp;
        amp *= 0.5;
        px *= 2;
        py *= 2;
    }
    return sum / norm;
}

// ---------------------------------------------------------------------------
// Image helpers

QImage canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void beginAA(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Separable box blur on a premultiplied image, repeated three times (close to Gaussian).
void blur(QImage& img, int radius) {
    if (radius <= 0)
        return;
    const int w = img.width(), h = img.height();
    std::vector<std::array<int, 4>> line(std::max(w, h));
    auto pass = [&](bool horizontal) {
        const int n = horizontal ? w : h, lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            for (int i = 0; i < n; ++i) {
                const QRgb px = horizontal ? reinterpret_cast<const QRgb*>(img.constScanLine(l))[i]
                                           : reinterpret_cast<const QRgb*>(img.constScanLine(i))[l];
                line[i] = {qAlpha(px), qRed(px), qGreen(px), qBlue(px)};
            }
            for (int i = 0; i < n; ++i) {
                std::array<int, 4> s{0, 0, 0, 0};
                int count = 0;
                for (int k = i - radius; k <= i + radius; ++k) {
                    if (k < 0 || k >= n) {
                        ++count; // transparent outside
                        continue;
                    }
                    for (int c = 0; c < 4; ++c)
                        s[c] += line[k][c];
                    ++count;
                }
                const QRgb out = qRgba(s[1] / count, s[2] / count, s[3] / count, s[0] / count);
                if (horizontal)
                    reinterpret_cast<QRgb*>(img.scanLine(l))[i] = out;
                else
                    reinterpret_cast<QRgb*>(img.scanLine(i))[l] = out;
            }
        }
    };
    for (int it = 0; it < 3; ++it) {
        pass(true);
        pass(false);
    }
}

// Soft shadow of `shape` (its alpha), tinted and offset, placed beneath the image.
void addShadow(QImage& img, const QPainterPath& shape, QPointF offset, int radius,
               const QColor& color) {
    QImage sh = canvas(img.width(), img.height());
    {
        QPainter p(&sh);
        beginAA(p);
        p.translate(offset);
        p.fillPath(shape, color);
    }
    blur(sh, radius);
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    p.drawImage(0, 0, sh);
}

// Modulates the brightness of every non-transparent pixel with paper-like noise.
// cloud: low-frequency mottling, fiber: horizontal streaks, grain: per-pixel speckle.
void texturize(QImage& img, quint32 seed, double cloud, double fiber, double grain, int cellsX = 4,
               int cellsY = 4) {
    const int w = img.width(), h = img.height();
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(row[x]);
            if (a == 0)
                continue;
            const double cx = x + 0.5, cy = y + 0.5;
            double n = 0;
            if (cloud != 0)
                n += cloud * tileFbm(cx, cy, w, h, cellsX, cellsY, 4, seed);
            if (fiber != 0) {
                // Streaks: fine across, long along the row direction.
                const int fx = std::max(1, w / 24), fy = std::max(2, h / 2);
                n += fiber * tileFbm(cx, cy, w, h, fx, fy, 2, seed ^ 0xABCDu);
            }
            if (grain != 0)
                n += grain * (rand01(x, y, seed ^ 0x5EEDu) * 2 - 1);
            const double f = 1 + n;
            auto ch = [&](int v) { return std::clamp(int(std::lround(v * f)), 0, a); };
            row[x] = qRgba(ch(qRed(row[x])), ch(qGreen(row[x])), ch(qBlue(row[x])), a);
        }
    }
}

// Scatters short, faint paper fibres over a tileable image (each fibre is also
// drawn shifted by one tile in every direction, so the edges still match).
void paperFibers(QImage& img, quint32 seed, int count, const QColor& darkTone,
                 const QColor& lightTone, double maxAlpha) {
    const int w = img.width(), h = img.height();
    QPainter p(&img);
    beginAA(p);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const double x = rand01(i, 1, seed) * w, y = rand01(i, 2, seed) * h;
        const double len = 3 + 7 * rand01(i, 3, seed);
        const double ang = (rand01(i, 4, seed) - 0.5) * 1.2; // mostly horizontal
        const double bend = (rand01(i, 5, seed) - 0.5) * len * 0.6;
        const bool dark = rand01(i, 6, seed) < 0.5;
        const double alpha = maxAlpha * (0.4 + 0.6 * rand01(i, 7, seed));
        const double dx = std::cos(ang) * len / 2, dy = std::sin(ang) * len / 2;
        QPainterPath f;
        f.moveTo(-dx, -dy);
        f.quadTo(-dy * bend / len, dx * bend / len, dx, dy);
        p.setPen(
            QPen(withAlpha(dark ? darkTone : lightTone, alpha), 0.7, Qt::SolidLine, Qt::RoundCap));
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox)
                p.drawPath(f.translated(x + ox * w, y + oy * h));
    }
}

bool save(const QImage& img, const QString& dir, const QString& name, bool opaque = false) {
    const QImage out = img.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    const QString path = dir + QLatin1Char('/') + name;
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "quillet_imagegen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Themes

struct Theme {
    QString name;
    bool eco = false;
    std::array<QColor, kTags> tag;
    QColor paper; // base background
    QColor ink;   // dark accents
    QColor light; // light accents (highlights, check marks)
};

const std::array<QColor, kTags> kReference = {
    rgb(160, 160, 160), // 0 gray
    rgb(235, 83, 57),   // 1 red
    rgb(239, 128, 124), // 2 orange
    rgb(251, 181, 109), // 3 yellow
    rgb(105, 149, 78),  // 4 green
    rgb(121, 171, 182), // 5 blue
};

// Earthy variant: lower saturation, pulled towards a warm clay tone.
QColor ecoize(const QColor& c) {
    float h, s, l, a;
    c.getHslF(&h, &s, &l, &a);
    QColor d = QColor::fromHslF(h < 0 ? 0 : h, s * 0.6f, l * 0.97f);
    return mix(d, rgb(156, 128, 96), 0.2);
}

Theme basicTheme() {
    Theme t;
    t.name = QStringLiteral("basic");
    t.tag = kReference;
    t.paper = rgb(252, 252, 251);
    t.ink = rgb(58, 62, 68);
    t.light = rgb(255, 255, 255);
    return t;
}

Theme ecoTheme() {
    Theme t;
    t.name = QStringLiteral("eco");
    t.eco = true;
    for (int i = 0; i < kTags; ++i)
        t.tag[i] = ecoize(kReference[i]);
    t.tag[0] = rgb(160, 150, 136); // warm taupe rather than a neutral gray
    t.paper = rgb(243, 236, 220);
    t.ink = rgb(76, 63, 50);
    t.light = rgb(250, 245, 232);
    return t;
}

// ---------------------------------------------------------------------------
// Shapes

QPainterPath roundRect(const QRectF& r, double radius) {
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

QPainterPath circle(QPointF c, double r) {
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

QPainterPath leaf(double length, double width) {
    const double h = length / 2, w = width / 2;
    QPainterPath p;
    p.moveTo(0, -h);
    p.cubicTo(w * 1.25, -h * 0.55, w * 1.05, h * 0.45, 0, h);
    p.cubicTo(-w * 1.05, h * 0.45, -w * 1.25, -h * 0.55, 0, -h);
    return p;
}

// ---------------------------------------------------------------------------
// Images

// 6 x 40: tag mark at the left edge of an entry row.
QImage drawCell(const Theme& t, int n) {
    QImage img = canvas(6, 40);
    const QColor c = t.tag[n];
    QPainter p(&img);
    beginAA(p);
    if (!t.eco) {
        QLinearGradient g(0, 0, 0, 40);
        g.setColorAt(0, lighten(c, 0.14));
        g.setColorAt(1, darken(c, 0.04));
        p.fillPath(roundRect(QRectF(0.5, 0.5, 5, 39), 2.5), g);
    } else {
        // A little bookmark ribbon: rounded top, notched bottom.
        QPainterPath ribbon;
        ribbon.moveTo(0.5, 3);
        ribbon.quadTo(0.5, 0.5, 3, 0.5);
        ribbon.quadTo(5.5, 0.5, 5.5, 3);
        ribbon.lineTo(5.5, 39.5);
        ribbon.lineTo(3, 36.6);
        ribbon.lineTo(0.5, 39.5);
        ribbon.closeSubpath();
        QLinearGradient g(0, 0, 6, 0);
        g.setColorAt(0, lighten(c, 0.08));
        g.setColorAt(1, darken(c, 0.10));
        p.fillPath(ribbon, g);
    }
    p.end();
    if (t.eco)
        texturize(img, nameSeed(t.name + "cell") + n, 0.05, 0.04, 0.035, 1, 4);
    return img;
}

// 44 x 22: an item of the colour selector row.
QImage drawBar(const Theme& t, int n) {
    QImage img = canvas(44, 22);
    const QColor c = t.tag[n];
    const QRectF pill(1.5, 2.5, 41, 17);
    QPainter p(&img);
    beginAA(p);
    if (!t.eco) {
        if (n == 0) {
            // "All": a pale pill with a fine outline holding a dot of every colour.
            p.fillPath(roundRect(pill, 8.5), rgb(241, 241, 241));
            p.setPen(QPen(rgb(176, 176, 176), 1));
            p.drawPath(roundRect(pill, 8.5));
            p.setPen(Qt::NoPen);
            for (int i = 1; i < kTags; ++i) {
                p.setBrush(t.tag[i]);
                p.drawEllipse(QPointF(22 + (i - 3) * 6.5, 11), 2.3, 2.3);
            }
        } else {
            QLinearGradient g(0, pill.top(), 0, pill.bottom());
            g.setColorAt(0, lighten(c, 0.10));
            g.setColorAt(1, c);
            p.fillPath(roundRect(pill, 8.5), g);
            p.setPen(QPen(withAlpha(rgb(255, 255, 255), 0.35), 1));
            p.drawLine(QPointF(pill.left() + 8, pill.top() + 1),
                       QPointF(pill.right() - 8, pill.top() + 1));
        }
    } else {
        const QColor fill = n == 0 ? mix(t.paper, c, 0.30) : c;
        const QColor edge = n == 0 ? darken(c, 0.05) : darken(c, 0.22);
        QLinearGradient g(0, pill.top(), 0, pill.bottom());
        g.setColorAt(0, lighten(fill, 0.05));
        g.setColorAt(1, darken(fill, 0.06));
        p.fillPath(roundRect(pill, 8.5), g);
        p.setPen(QPen(edge, 1));
        p.drawPath(roundRect(pill, 8.5));
        // Stitched seam, like a linen label.
        QPen stitch(n == 0 ? withAlpha(darken(c, 0.1), 0.8) : withAlpha(t.light, 0.75), 1);
        stitch.setDashPattern({2.0, 2.0});
        stitch.setCapStyle(Qt::FlatCap);
        p.setPen(stitch);
        p.setBrush(Qt::NoBrush);
        p.drawPath(roundRect(pill.adjusted(3, 3, -3, -3), 5.5));
        if (n == 0) {
            p.setPen(Qt::NoPen);
            for (int i = 1; i < kTags; ++i) {
                p.setBrush(t.tag[i]);
                p.drawEllipse(QPointF(22 + (i - 3) * 5.5, 11), 1.9, 1.9);
            }
        }
    }
    p.end();
    if (t.eco)
        texturize(img, nameSeed(t.name + "bar") + n, 0.05, 0.05, 0.03, 4, 2);
    return img;
}

// 25 x 25: round icon of the colour.
QImage drawIcon(const Theme& t, int n) {
    QImage img = canvas(25, 25);
    const QColor c = t.tag[n];
    const QPointF ctr(12.5, 12.5);
    QPainter p(&img);
    beginAA(p);
    if (!t.eco) {
        QRadialGradient g(QPointF(9.5, 8.5), 15);
        g.setColorAt(0, lighten(c, 0.16));
        g.setColorAt(1, c);
        p.fillPath(circle(ctr, 11), g);
        p.setPen(QPen(withAlpha(darken(c, 0.35), 0.35), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ctr, 10.5, 10.5);
    } else {
        // A pebble / seed: warm rim, soft highlight in the upper left.
        QRadialGradient g(QPointF(10, 9.5), 14);
        g.setColorAt(0, lighten(c, 0.10));
        g.setColorAt(0.75, c);
        g.setColorAt(1, darken(c, 0.12));
        p.fillPath(circle(ctr, 11), g);
        p.setPen(QPen(darken(c, 0.28), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ctr, 10.4, 10.4);
        QPen hl(withAlpha(t.light, 0.38), 1.3);
        hl.setCapStyle(Qt::RoundCap);
        p.setPen(hl);
        p.drawArc(QRectF(5.5, 5.5, 14, 14), 100 * 16, 70 * 16);
    }
    p.end();
    if (t.eco)
        texturize(img, nameSeed(t.name + "icon") + n, 0.05, 0.0, 0.03, 2, 2);
    return img;
}

// 600 x 14: footer strip under the editor.
QImage drawFoot(const Theme& t, int n) {
    const int w = 600, h = 14;
    QImage img = canvas(w, h);
    const QColor c = t.tag[n];
    QPainter p(&img);
    beginAA(p);
    if (!t.eco) {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, lighten(c, 0.12));
        g.setColorAt(1, darken(c, 0.03));
        p.fillRect(QRectF(0, 0, w, h), g);
        p.fillRect(QRectF(0, 0, w, 1), withAlpha(darken(c, 0.25), 0.55));
        p.fillRect(QRectF(0, 1, w, 1), withAlpha(rgb(255, 255, 255), 0.30));
    } else {
        // Deckled (torn paper) top edge; the edge repeats every 600 px so the
        // strip can be tiled horizontally.
        const quint32 seed = nameSeed(t.name + "foot") + n;
        QPainterPath edge;
        edge.moveTo(0, h);
        for (int x = 0; x <= w; x += 2) {
            const double y = 4.2 + 1.6 * tileFbm(x, 0.5, w, 1, 60, 1, 3, seed);
            edge.lineTo(x, y);
        }
        edge.lineTo(w, h);
        edge.closeSubpath();
        QLinearGradient g(0, 2, 0, h);
        g.setColorAt(0, lighten(c, 0.08));
        g.setColorAt(1, darken(c, 0.08));
        p.fillPath(edge, g);
        p.setPen(QPen(withAlpha(lighten(c, 0.45), 0.55), 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(edge.translated(0, 0.6));
    }
    p.end();
    if (t.eco) {
        texturize(img, nameSeed(t.name + "footTex") + n, 0.05, 0.06, 0.035, 40, 1);
    }
    return img;
}

// 64 x 64 tileable background for the editor side.
QImage drawBackDesk(const Theme& t, int n) {
    const int s = 64;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    const QColor c = t.tag[n];
    if (!t.eco) {
        img.fill(mix(t.paper, c, 0.065));
        QPainter p(&img);
        beginAA(p);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(darken(c, 0.2), 0.16));
        for (int y = 8; y < s; y += 16)
            for (int x = 8; x < s; x += 16)
                p.drawEllipse(QPointF(x, y), 1.0, 1.0);
    } else {
        const quint32 seed = nameSeed(t.name + "desk") + n;
        const QColor base = mix(t.paper, c, 0.19);
        img.fill(base);
        texturize(img, seed, 0.025, 0.0, 0.014, 2, 2);
        paperFibers(img, seed ^ 0xF1B3u, 34, darken(base, 0.25), rgb(255, 252, 244), 0.22);
    }
    return img;
}

// 64 x 64 tileable passcode screen background.
QImage drawPassDesk(const Theme& t, int n) {
    const int s = 64;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    const QColor c = t.tag[n];
    if (!t.eco) {
        // Soft tint with fine diagonal hatching (period 16 px, so it tiles at 64).
        const QColor base = mix(t.paper, c, 0.16);
        const QColor line = darken(base, 0.045);
        for (int y = 0; y < s; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < s; ++x) {
                const double d = std::fmod(x + y + 1.0, 16.0); // distance along the diagonal family
                const double dist = std::min(d, 16.0 - d) / std::numbers::sqrt2;
                const double cov = std::clamp(1.0 - dist / 0.9, 0.0, 1.0);
                row[x] = mix(base, line, cov).rgba();
            }
        }
    } else {
        // Linen: a fine woven crosshatch over mottled paper.
        const QColor base = mix(t.paper, c, 0.34);
        const quint32 seed = nameSeed(t.name + "pass") + n;
        for (int y = 0; y < s; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < s; ++x) {
                // Basket weave of 2 px threads: horizontal and vertical threads take
                // turns on top; every thread has its own slightly different shade.
                const bool horizontalOnTop = (((x >> 1) + (y >> 1)) & 1) != 0;
                const double shade = horizontalOnTop ? rand01(0, y >> 1, seed) * 2 - 1
                                                     : rand01(x >> 1, 0, seed ^ 0x77u) * 2 - 1;
                const double n2 = (horizontalOnTop ? 0.012 : -0.012) + 0.014 * shade;
                const double f = 1 + n2;
                const QColor px(std::clamp(int(base.red() * f), 0, 255),
                                std::clamp(int(base.green() * f), 0, 255),
                                std::clamp(int(base.blue() * f), 0, 255));
                row[x] = px.rgba();
            }
        }
        texturize(img, seed ^ 0x1234u, 0.03, 0.0, 0.012, 2, 2);
        paperFibers(img, seed ^ 0xF1B3u, 16, darken(base, 0.3), rgb(255, 252, 244), 0.18);
    }
    return img;
}

QPainterPath trashBody() {
    QPainterPath body;
    body.moveTo(5.5, 8);
    body.lineTo(18.5, 8);
    body.lineTo(17.4, 19.6);
    body.quadTo(17.2, 21.5, 15.3, 21.5);
    body.lineTo(8.7, 21.5);
    body.quadTo(6.8, 21.5, 6.6, 19.6);
    body.closeSubpath();
    return body;
}

// 24 x 24 trash can in the tag colour.
QImage drawTrash(const Theme& t, int n) {
    QImage img = canvas(24, 24);
    const QColor c = t.tag[n];
    QPainter p(&img);
    beginAA(p);
    const QPainterPath body = trashBody();
    const QPainterPath lid = roundRect(QRectF(3.5, 5, 17, 2.2), 1.1);
    QPainterPath handle;
    handle.moveTo(9.2, 5);
    handle.lineTo(9.2, 3.6);
    handle.quadTo(9.2, 2.5, 10.3, 2.5);
    handle.lineTo(13.7, 2.5);
    handle.quadTo(14.8, 2.5, 14.8, 3.6);
    handle.lineTo(14.8, 5);
    if (!t.eco) {
        p.fillPath(body, c);
        p.fillPath(lid, c);
        QPen hp(c, 1.4);
        p.strokePath(handle, hp);
        // Slots punched out of the body.
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        QPen slot(Qt::black, 1.3, Qt::SolidLine, Qt::RoundCap);
        p.setPen(slot);
        for (double x : {9.4, 12.0, 14.6})
            p.drawLine(QPointF(x, 11), QPointF(x, 18.5));
    } else {
        const QColor stroke = darken(c, 0.12);
        p.fillPath(body, withAlpha(c, 0.28));
        QPen pen(stroke, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(body, pen);
        p.fillPath(lid, stroke);
        p.strokePath(handle, QPen(stroke, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setPen(QPen(stroke, 1.2, Qt::SolidLine, Qt::RoundCap));
        for (double x : {9.8, 12.0, 14.2})
            p.drawLine(QPointF(x, 11.2), QPointF(x, 18.3));
    }
    return img;
}

// 44 x 44 picker button, resting or highlighted.
QImage drawPick(const Theme& t, int n, bool high) {
    QImage img = canvas(44, 44);
    const QColor c = t.tag[n];
    const QPointF ctr(22, 22);
    const double r = 15;
    {
        QPainter p(&img);
        beginAA(p);
        if (!t.eco) {
            QRadialGradient g(QPointF(18, 17), 22);
            g.setColorAt(0, lighten(c, 0.14));
            g.setColorAt(1, c);
            p.fillPath(circle(ctr, r), g);
            p.setPen(QPen(rgb(255, 255, 255), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(ctr, r - 1, r - 1);
        } else {
            QRadialGradient g(QPointF(18.5, 17.5), 21);
            g.setColorAt(0, lighten(c, 0.10));
            g.setColorAt(0.8, c);
            g.setColorAt(1, darken(c, 0.10));
            p.fillPath(circle(ctr, r), g);
            p.setPen(QPen(darken(c, 0.25), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(ctr, r - 0.6, r - 0.6);
        }
    }
    if (t.eco)
        texturize(img, nameSeed(t.name + "pick") + n, 0.05, 0.0, 0.03, 3, 3);
    addShadow(img, circle(ctr, r), QPointF(0, 1.2), 1,
              t.eco ? withAlpha(rgb(80, 60, 40), 0.30) : withAlpha(rgb(0, 0, 0), 0.22));
    if (high) {
        QPainter p(&img);
        beginAA(p);
        // Outer selection ring.
        const QColor ring = t.eco ? t.ink : darken(c, 0.10);
        p.setPen(QPen(ring, t.eco ? 1.8 : 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ctr, 19.6, 19.6);
        // Check mark with a faint shadow so it reads on light colours too.
        QPainterPath check;
        check.moveTo(15.5, 22.5);
        check.lineTo(20, 27);
        check.lineTo(28.8, 17.6);
        const QColor mark = t.eco ? t.light : rgb(255, 255, 255);
        p.strokePath(check.translated(0, 0.8),
                     QPen(withAlpha(t.eco ? t.ink : rgb(0, 0, 0), 0.28), 3.0, Qt::SolidLine,
                          Qt::RoundCap, Qt::RoundJoin));
        p.strokePath(check, QPen(mark, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    return img;
}

// 16 x 16 dark passcode dot.
QImage drawDot() {
    QImage img = canvas(16, 16);
    QPainter p(&img);
    beginAA(p);
    QRadialGradient g(QPointF(6.5, 6), 9);
    g.setColorAt(0, rgb(78, 80, 86));
    g.setColorAt(1, rgb(38, 40, 44));
    p.fillPath(circle(QPointF(8, 8), 6.5), g);
    return img;
}

// 321 x 219 tileable paper with faint leaves, behind the colour picker.
QImage drawEcoPickBack(const Theme& t) {
    const int w = 321, h = 219;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(mix(t.paper, rgb(200, 190, 160), 0.12));
    const quint32 seed = nameSeed(QStringLiteral("eco_pick_back"));
    {
        QPainter p(&img);
        beginAA(p);
        const std::array<QColor, 3> tones = {rgb(150, 150, 100), rgb(170, 135, 95),
                                             rgb(130, 140, 110)};
        const int count = 18;
        for (int i = 0; i < count; ++i) {
            // Jittered grid placement keeps the leaves evenly spread.
            const int gx = i % 6, gy = i / 6;
            const double x = (gx + 0.15 + 0.7 * rand01(i, 1, seed)) * w / 6.0;
            const double y = (gy + 0.15 + 0.7 * rand01(i, 2, seed)) * h / 3.0;
            const double len = 22 + 16 * rand01(i, 3, seed);
            const double angle = 360 * rand01(i, 4, seed);
            const QColor tone = tones[hash3(i, 5, seed) % tones.size()];
            const QPainterPath shape = leaf(len, len * 0.46);
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    p.save();
                    p.translate(x + dx * w, y + dy * h);
                    p.rotate(angle);
                    p.fillPath(shape, withAlpha(tone, 0.16));
                    QPen vein(withAlpha(t.light, 0.55), 0.9, Qt::SolidLine, Qt::RoundCap);
                    p.setPen(vein);
                    p.drawLine(QPointF(0, -len * 0.42), QPointF(0, len * 0.62));
                    for (int k = -1; k <= 1; ++k) {
                        const double yy = k * len * 0.18;
                        p.drawLine(QPointF(0, yy + len * 0.06),
                                   QPointF(len * 0.16, yy - len * 0.06));
                        p.drawLine(QPointF(0, yy + len * 0.06),
                                   QPointF(-len * 0.16, yy - len * 0.06));
                    }
                    p.restore();
                }
            }
        }
    }
    texturize(img, seed, 0.025, 0.0, 0.015, 5, 3);
    paperFibers(img, seed ^ 0xF1B3u, 420, rgb(150, 130, 100), rgb(255, 252, 244), 0.2);
    return img;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: quillet_imagegen <output-dir>\n");
        return 2;
    }
    const QString out = args.at(1);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "quillet_imagegen: cannot create %s\n", qPrintable(out));
        return 1;
    }

    bool ok = true;
    int written = 0;
    auto put = [&](const QImage& img, const QString& name, bool opaque = false) {
        ok = save(img, out, name, opaque) && ok;
        ++written;
    };

    for (const Theme& t : {basicTheme(), ecoTheme()}) {
        for (int n = 0; n < kTags; ++n) {
            const QString sfx = QStringLiteral("_%1.png").arg(n);
            put(drawCell(t, n), t.name + "_cell" + sfx);
            put(drawBar(t, n), t.name + "_bar" + sfx);
            put(drawIcon(t, n), t.name + "_icon" + sfx);
            put(drawFoot(t, n), t.name + "_foot" + sfx);
            put(drawBackDesk(t, n), t.name + "_back_desk" + sfx, true);
            put(drawPassDesk(t, n), t.name + "_pass_desk" + sfx, true);
            put(drawTrash(t, n), t.name + "_trash" + sfx);
            put(drawPick(t, n, false), t.name + "_pick" + sfx);
            put(drawPick(t, n, true), t.name + "_pick_high" + sfx);
        }
    }
    put(drawDot(), QStringLiteral("dot.png"));
    put(drawEcoPickBack(ecoTheme()), QStringLiteral("eco_pick_back.png"), true);

    std::printf("quillet_imagegen: wrote %d images to %s\n", written, qPrintable(out));
    return ok ? 0 : 1;
}
