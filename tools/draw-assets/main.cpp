// Draws Quelvaro's splash screen, about picture and application icon.
//
// Usage: QT_QPA_PLATFORM=offscreen draw-assets <output-folder>

#include "vgapalette.h"

#include <QByteArray>
#include <QColor>
#include <QConicalGradient>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QTransform>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

// std:: distributions differ between standard libraries; a hand-rolled
// generator keeps the pictures identical wherever the tool is built.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    {
    }

    double unit()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return double(m_state >> 11) / double(std::uint64_t(1) << 53);
    }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int index(int count) { return std::min(count - 1, int(unit() * count)); }

private:
    std::uint64_t m_state;
};

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QFont makeFont(const QStringList &families, int weight, bool italic, qreal pixelSize)
{
    QFont font;
    font.setFamilies(families);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

const QStringList kDisplaySerif { "URW Bookman", "Bookman Old Style", "C059", "DejaVu Serif", "serif" };
const QStringList kTextSerif { "Nimbus Roman", "Times New Roman", "Liberation Serif", "DejaVu Serif",
    "serif" };
const QStringList kIconSerif { "C059", "Century Schoolbook", "DejaVu Serif", "serif" };
const QStringList kSans { "Nimbus Sans", "Helvetica", "Arial", "Liberation Sans", "DejaVu Sans",
    "sans-serif" };

// Text outline whose ink box is centred horizontally on centreX with its
// baseline at baselineY; ink-based centring keeps italics visually centred.
QPainterPath textPath(const QFont &font, const QString &text, qreal centreX, qreal baselineY)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    return path.translated(centreX - ink.center().x(), baselineY);
}

// Largest font (up to maxPixelSize) whose ink fits maxWidth.
QFont fitFont(const QStringList &families, int weight, bool italic, const QString &text, qreal maxPixelSize,
    qreal maxWidth)
{
    for (qreal size = maxPixelSize; size > 6; size -= 1) {
        QFont font = makeFont(families, weight, italic, size);
        QPainterPath path;
        path.addText(0, 0, font, text);
        if (path.boundingRect().width() <= maxWidth)
            return font;
    }
    return makeFont(families, weight, italic, 6);
}

// Three box blurs approximate a Gaussian well enough for glows and clouds.
void blur(QImage &image, int radius)
{
    if (radius < 1)
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const int w = image.width();
    const int h = image.height();
    std::vector<std::array<int, 4>> line(std::max(w, h));
    const int span = 2 * radius + 1;

    auto pass = [&](bool horizontal) {
        const int outer = horizontal ? h : w;
        const int inner = horizontal ? w : h;
        for (int o = 0; o < outer; ++o) {
            auto pixel = [&](int i) -> QRgb & {
                return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(o))[i]
                                  : reinterpret_cast<QRgb *>(image.scanLine(i))[o];
            };
            for (int i = 0; i < inner; ++i) {
                const QRgb c = pixel(i);
                line[i] = { qAlpha(c), qRed(c), qGreen(c), qBlue(c) };
            }
            std::array<int, 4> sum {};
            auto add = [&](int i, int sign) {
                if (i < 0 || i >= inner)
                    return;
                for (int k = 0; k < 4; ++k)
                    sum[k] += sign * line[i][k];
            };
            for (int i = -radius; i <= radius; ++i)
                add(i, 1);
            for (int i = 0; i < inner; ++i) {
                pixel(i) = qRgba(sum[1] / span, sum[2] / span, sum[3] / span, sum[0] / span);
                add(i - radius, -1);
                add(i + radius + 1, 1);
            }
        }
    };
    for (int n = 0; n < 3; ++n) {
        pass(true);
        pass(false);
    }
}

// A transparent layer the size of the target, painted in logical units.
QImage makeLayer(const QImage &target)
{
    QImage layer(target.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

void compose(QPainter &p, const QImage &layer, qreal opacity = 1.0)
{
    p.save();
    p.resetTransform();
    p.setOpacity(opacity);
    p.drawImage(0, 0, layer);
    p.restore();
}

// Soft halo: the path widened by a pen, blurred, laid under the text.
void drawGlow(QPainter &p, const QImage &target, qreal scale, const QPainterPath &path, const QColor &colour,
    qreal spread, qreal blurRadius, int repeats)
{
    QImage layer = makeLayer(target);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.scale(scale, scale);
        lp.setPen(QPen(colour, spread, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        lp.setBrush(colour);
        lp.drawPath(path);
    }
    blur(layer, int(std::lround(blurRadius * scale)));
    for (int i = 0; i < repeats; ++i)
        compose(p, layer);
}

// ---------------------------------------------------------------- splash

const QColor kSwirlGreen(40, 235, 110);
const QColor kSwirlMagenta(250, 40, 210);
const QColor kSwirlBlue(40, 100, 255);
const QColor kSwirlCyan(60, 225, 255);

void drawSwirls(QPainter &p, const QImage &target, qreal scale, QSizeF size, Random &rng)
{
    const std::array palette { kSwirlGreen, kSwirlMagenta, kSwirlBlue, kSwirlGreen, kSwirlMagenta,
        kSwirlCyan };
    const qreal w = size.width();
    const qreal h = size.height();

    QLinearGradient base(0, 0, w, h);
    base.setColorAt(0.0, kSwirlGreen);
    base.setColorAt(0.3, kSwirlMagenta);
    base.setColorAt(0.65, kSwirlBlue);
    base.setColorAt(1.0, kSwirlGreen);
    p.fillRect(QRectF(0, 0, w, h), base);

    for (int i = 0; i < 16; ++i) {
        const QPointF centre(rng.range(-0.1, 1.1) * w, rng.range(-0.1, 1.1) * h);
        const qreal radius = rng.range(0.15, 0.4) * w;
        const QColor colour = palette[rng.index(int(palette.size()))];
        QRadialGradient blob(centre, radius);
        blob.setColorAt(0.0, withAlpha(colour, 220));
        blob.setColorAt(0.6, withAlpha(colour, 90));
        blob.setColorAt(1.0, withAlpha(colour, 0));
        p.fillRect(QRectF(0, 0, w, h), blob);
    }

    // Colour wheels faded out radially, so each swirl melts into the blobs.
    for (int i = 0; i < 4; ++i) {
        const QPointF centre(rng.range(0.1, 0.9) * w, rng.range(0.15, 0.85) * h);
        const qreal radius = rng.range(0.25, 0.45) * w;
        const qreal startAngle = rng.range(0, 360);
        QImage layer = makeLayer(target);
        {
            QPainter lp(&layer);
            lp.setRenderHint(QPainter::Antialiasing);
            lp.scale(scale, scale);
            QConicalGradient wheel(centre, startAngle);
            const int first = rng.index(int(palette.size()));
            for (int k = 0; k <= 6; ++k)
                wheel.setColorAt(k / 6.0, withAlpha(palette[(first + k % 6) % palette.size()], 200));
            lp.setPen(Qt::NoPen);
            lp.setBrush(wheel);
            lp.drawEllipse(centre, radius, radius);
            QRadialGradient fade(centre, radius);
            fade.setColorAt(0.0, QColor(0, 0, 0, 255));
            fade.setColorAt(0.5, QColor(0, 0, 0, 140));
            fade.setColorAt(1.0, QColor(0, 0, 0, 0));
            lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            lp.fillRect(QRectF(0, 0, w, h), fade);
        }
        compose(p, layer, 0.55);
    }

    // Spiral arms as tapered ribbons: filled once each, so overlapping
    // strokes do not bead where the segments meet.
    QImage arms = makeLayer(target);
    {
        QPainter lp(&arms);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.scale(scale, scale);
        lp.setPen(Qt::NoPen);
        for (int i = 0; i < 5; ++i) {
            const QPointF centre(rng.range(0.05, 0.95) * w, rng.range(0.1, 0.9) * h);
            const int armCount = 2 + rng.index(3);
            const qreal reach = rng.range(0.2, 0.34) * w;
            const qreal turns = rng.range(1.0, 1.6);
            const qreal spin = rng.range(0, 2 * std::numbers::pi);
            const qreal direction = (i % 2 == 0) ? 1.0 : -1.0;
            for (int a = 0; a < armCount; ++a) {
                const QColor colour
                    = (a % 2 == 0) ? QColor(255, 255, 255) : palette[rng.index(int(palette.size()))];
                const qreal maxWidth = rng.range(4, 9);
                auto ribbon = [&](qreal widthFactor) {
                    const int steps = 160;
                    QPolygonF outer, inner;
                    for (int s = 0; s <= steps; ++s) {
                        const qreal t = qreal(s) / steps;
                        const qreal angle
                            = spin + direction * 2 * std::numbers::pi * (turns * t + qreal(a) / armCount);
                        const qreal r = reach * t;
                        // Swelling in the middle, thin at both ends.
                        const qreal half = widthFactor * maxWidth * std::sin(std::numbers::pi * t) / 2;
                        const QPointF along(std::cos(angle), std::sin(angle));
                        const QPointF c = centre + r * along;
                        outer << c + half * along;
                        inner.prepend(c - half * along);
                    }
                    QPainterPath path;
                    path.addPolygon(outer + inner);
                    return path;
                };
                lp.setBrush(withAlpha(colour, 55));
                lp.drawPath(ribbon(2.2));
                lp.setBrush(withAlpha(colour, 120));
                lp.drawPath(ribbon(0.8));
            }
        }
    }
    blur(arms, int(std::lround(0.6 * scale)));
    compose(p, arms);
}

void drawWatermark(QPainter &p, QSizeF size)
{
    const QFont font = makeFont(kSans, QFont::Bold, true, 15);
    const QString title = QStringLiteral("Quelvaro");
    QPainterPath word;
    word.addText(0, 0, font, title);
    const qreal step = word.boundingRect().width() + 22;
    const qreal rowHeight = 28;

    p.save();
    p.translate(size.width() / 2, size.height() / 2);
    p.rotate(-24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 52));
    const qreal reach = std::hypot(size.width(), size.height()) / 2 + step;
    int row = 0;
    for (qreal y = -reach; y <= reach; y += rowHeight, ++row) {
        const qreal offset = (row % 2) * step / 2;
        for (qreal x = -reach - offset; x <= reach; x += step)
            p.drawPath(word.translated(x, y));
    }
    p.restore();
}

QImage drawSplash(qreal scale)
{
    const QSizeF size(354, 198);
    QImage image((size * scale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    Random rng(0x5157454c5641524fULL);
    drawSwirls(p, image, scale, size, rng);
    drawWatermark(p, size);

    const QColor navy(8, 20, 96);
    const QColor halo(225, 245, 255);

    const QFont titleFont
        = fitFont(kDisplaySerif, QFont::DemiBold, true, QStringLiteral("Quelvaro"), 66, 300);
    const QPainterPath title = textPath(titleFont, QStringLiteral("Quelvaro"), size.width() / 2, 100);
    drawGlow(p, image, scale, title, halo, 7, 5, 3);
    QLinearGradient titleFill(0, title.boundingRect().top(), 0, title.boundingRect().bottom());
    titleFill.setColorAt(0.0, QColor(30, 52, 170));
    titleFill.setColorAt(1.0, navy);
    p.setPen(QPen(QColor(4, 10, 60), 0.8));
    p.setBrush(titleFill);
    p.drawPath(title);

    const QFont versionFont = makeFont(kDisplaySerif, QFont::DemiBold, false, 20);
    const QPainterPath version = textPath(versionFont, QStringLiteral("Versión 1.1"), size.width() / 2, 136);
    drawGlow(p, image, scale, version, halo, 4, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(navy);
    p.drawPath(version);

    // A darker strip keeps the white line readable on whatever colour the
    // swirls happen to leave at the bottom.
    QLinearGradient shade(0, size.height() - 30, 0, size.height());
    shade.setColorAt(0.0, QColor(0, 0, 40, 0));
    shade.setColorAt(1.0, QColor(0, 0, 40, 110));
    p.fillRect(QRectF(0, size.height() - 30, size.width(), 30), shade);

    const QFont loadingFont = makeFont(kTextSerif, QFont::Normal, false, 14);
    const QPainterPath loading = textPath(loadingFont,
        QStringLiteral("Cargando Fuentes, por favor, espere..."), size.width() / 2, size.height() - 8);
    drawGlow(p, image, scale, loading, QColor(0, 0, 50, 200), 2, 1.5, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(loading);
    return image;
}

// ----------------------------------------------------------------- about

void drawCloud(
    QPainter &p, Random &rng, QPointF base, qreal width, qreal height, const QColor &tint, qreal opacity)
{
    // Puffs rest on a common base line, higher in the middle: a cumulus.
    struct Puff {
        QPointF centre;
        qreal radius;
    };
    std::vector<Puff> puffs;
    const int count = 7 + rng.index(6);
    for (int i = 0; i < count; ++i) {
        const qreal u = (count == 1) ? 0 : (qreal(i) / (count - 1) - 0.5) + rng.range(-0.05, 0.05);
        const qreal bulge = std::max(0.0, 1.0 - 4 * u * u);
        const qreal r = height * (0.22 + 0.38 * bulge) * rng.range(0.85, 1.15);
        puffs.push_back({ QPointF(base.x() + u * width, base.y() - r * rng.range(0.5, 0.8)), r });
    }
    QPainterPath shape;
    shape.setFillRule(Qt::WindingFill);
    for (const Puff &puff : puffs)
        shape.addEllipse(puff.centre, puff.radius, puff.radius);
    shape.addRoundedRect(QRectF(base.x() - width / 2, base.y() - height * 0.25, width, height * 0.25),
        height * 0.12, height * 0.12);
    shape = shape.simplified();

    p.save();
    p.setOpacity(opacity);
    p.setPen(Qt::NoPen);
    const QRectF box = shape.boundingRect();
    QLinearGradient body(0, box.top(), 0, box.bottom());
    body.setColorAt(0.0, tint.lighter(108));
    body.setColorAt(0.55, tint);
    body.setColorAt(1.0, tint.darker(140));
    p.setBrush(body);
    p.drawPath(shape);

    p.setClipPath(shape);
    for (const Puff &puff : puffs) {
        const QPointF light = puff.centre - QPointF(puff.radius * 0.25, puff.radius * 0.35);
        QRadialGradient shine(light, puff.radius * 0.9);
        shine.setColorAt(0.0, QColor(255, 255, 255, 200));
        shine.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(shine);
        p.drawEllipse(light, puff.radius * 0.9, puff.radius * 0.9);
        // A faint rim where a puff overlaps the one behind it.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(withAlpha(tint.darker(125), 70), std::max(0.6, puff.radius * 0.06)));
        p.drawArc(QRectF(puff.centre.x() - puff.radius, puff.centre.y() - puff.radius, 2 * puff.radius,
                      2 * puff.radius),
            200 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
    }
    p.restore();
}

void drawSky(QPainter &p, const QImage &target, qreal scale, QSizeF size, Random &rng)
{
    const qreal w = size.width();
    const qreal h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(88, 52, 170));
    sky.setColorAt(0.45, QColor(150, 120, 220));
    sky.setColorAt(0.8, QColor(112, 80, 190));
    sky.setColorAt(1.0, QColor(70, 40, 140));
    p.fillRect(QRectF(0, 0, w, h), sky);

    const std::array tints { QColor(255, 255, 255), QColor(236, 224, 255), QColor(200, 170, 250),
        QColor(250, 246, 255), QColor(178, 140, 240) };
    // Paint far-away, small clouds first and nearer, bigger ones later, then
    // soften everything so the edges stay fluffy at both scales.
    QImage clouds = makeLayer(target);
    {
        QPainter lp(&clouds);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.scale(scale, scale);
        for (int i = 0; i < 16; ++i) {
            const qreal depth = qreal(i) / 15;
            const QPointF base(rng.range(-0.1, 1.1) * w, rng.range(0.1, 1.1) * h);
            const qreal cw = (0.22 + 0.3 * depth) * w * rng.range(0.8, 1.2);
            const qreal ch = (0.14 + 0.14 * depth) * h * rng.range(0.8, 1.2);
            drawCloud(lp, rng, base, cw, ch, tints[rng.index(int(tints.size()))], 0.55 + 0.4 * depth);
        }
    }
    blur(clouds, int(std::lround(0.5 * scale)));
    compose(p, clouds);
}

void drawFieryWord(QPainter &p, const QImage &target, qreal scale, const QPainterPath &word)
{
    const QRectF box = word.boundingRect();
    drawGlow(p, target, scale, word, QColor(255, 120, 0, 200), 6, 5, 2);
    drawGlow(p, target, scale, word.translated(2, 3), QColor(40, 0, 20, 230), 3, 2, 1);

    QLinearGradient fire(0, box.top(), 0, box.bottom());
    fire.setColorAt(0.0, QColor(255, 250, 150));
    fire.setColorAt(0.3, QColor(255, 205, 40));
    fire.setColorAt(0.6, QColor(255, 120, 0));
    fire.setColorAt(1.0, QColor(200, 25, 0));
    p.setPen(QPen(QColor(70, 10, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(word);
    p.setPen(Qt::NoPen);
    p.setBrush(fire);
    p.drawPath(word);
}

QImage drawAbout(qreal scale)
{
    const QSizeF size(363, 255);
    QImage image((size * scale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    Random rng(0x444f5256414e45ULL);
    drawSky(p, image, scale, size, rng);

    // Only 0..(width - 2) x 8..(height - 2) is on screen, so everything is
    // centred on that visible window rather than on the image.
    const qreal visibleCentre = (size.width() - 2) / 2;
    const QFont nameFont = makeFont(kDisplaySerif, QFont::Bold, false, 84);
    const QPainterPath first = textPath(nameFont, QStringLiteral("Dor"), visibleCentre - 36, 86);
    const QPainterPath second = textPath(nameFont, QStringLiteral("vane"), visibleCentre + 24, 152);
    drawFieryWord(p, image, scale, first);
    drawFieryWord(p, image, scale, second);

    const QColor ink(255, 255, 255);
    const QColor outline(40, 10, 90, 235);
    QFont caps = makeFont(kSans, QFont::Bold, false, 13);
    caps.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    const QPainterPath product = textPath(caps, QStringLiteral("QUELVARO 1.1"), visibleCentre, 216);
    const QFont mail = makeFont(kSans, QFont::Normal, false, 12);
    const QPainterPath contact = textPath(mail, QStringLiteral("dorvane@example.org"), visibleCentre, 236);
    for (const QPainterPath &line : { product, contact }) {
        drawGlow(p, image, scale, line, outline, 3, 1.5, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(line);
    }
    return image;
}

// ------------------------------------------------------------------ icon

// Designed on a 32-unit grid; every size is painted from the geometry,
// never resampled, so the outline stays one crisp design pixel wide.
QImage drawIcon(int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal k = pixels / 32.0;
    p.scale(k, k);

    const qreal left = 5.5, right = 26.5, top = 1.5, bottom = 30.5, fold = 8;
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();

    QPainterPath flap;
    flap.moveTo(right - fold, top);
    flap.lineTo(right - fold, top + fold);
    flap.lineTo(right, top + fold);
    flap.closeSubpath();

    const QPen edge(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setPen(edge);
    p.setBrush(Qt::white);
    p.drawPath(page);
    QLinearGradient crease(right - fold, top + fold, right - fold / 2, top + fold / 2);
    crease.setColorAt(0.0, QColor(170, 170, 170));
    crease.setColorAt(1.0, QColor(225, 225, 225));
    p.setBrush(crease);
    p.drawPath(flap);

    QPainterPath letter;
    letter.addText(0, 0, makeFont(kIconSerif, QFont::Bold, false, 200), QStringLiteral("A"));
    const QRectF ink = letter.boundingRect();
    const QRectF slot(left + 1.5, top + fold + 1.5, right - left - 3, bottom - top - fold - 4);
    const qreal fit = std::min(slot.width() / ink.width(), slot.height() / ink.height());
    QTransform place;
    place.translate(slot.center().x(), slot.bottom());
    place.scale(fit, fit);
    place.translate(-ink.center().x(), -ink.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(place.map(letter));
    return image;
}

// ------------------------------------------------------------------- ICO

void put16(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

using Palette = std::vector<QRgb>;

Palette greyPalette(int levels)
{
    Palette palette;
    for (int i = 0; i < levels; ++i) {
        const int v = i * 255 / (levels - 1);
        palette.push_back(qRgb(v, v, v));
    }
    return palette;
}

int nearest(const Palette &palette, QRgb colour)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < int(palette.size()); ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// One ICO image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask.
QByteArray icoImage(const QImage &icon, int bitsPerPixel, const Palette &palette)
{
    const QImage source = icon.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width();
    const int h = source.height();
    const int xorStride = ((w * bitsPerPixel + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;

    QByteArray out;
    put32(out, 40);
    put32(out, std::uint32_t(w));
    put32(out, std::uint32_t(2 * h));
    put16(out, 1);
    put16(out, bitsPerPixel);
    put32(out, 0);
    put32(out, std::uint32_t((xorStride + andStride) * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (QRgb c : palette) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }

    auto opaque = [&](int x, int y) { return qAlpha(source.pixel(x, y)) >= 128; };
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            // Masked pixels must be colour 0 so AND=1/XOR=0 leaves the screen as is.
            const int index = opaque(x, y) ? nearest(palette, source.pixel(x, y)) : 0;
            const int bit = x * bitsPerPixel;
            const int shift = 8 - bitsPerPixel - bit % 8;
            row[bit / 8] = char(row[bit / 8] | (index << shift));
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x)
            if (!opaque(x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

QByteArray icoFile(const QImage &icon)
{
    struct Entry {
        int bitsPerPixel;
        Palette palette;
    };
    const std::array entries {
        Entry { 1, { qRgb(0, 0, 0), qRgb(255, 255, 255) } },
        Entry { 4, VgaPalette },
        Entry { 4, greyPalette(16) },
    };

    std::vector<QByteArray> images;
    for (const Entry &e : entries)
        images.push_back(icoImage(icon, e.bitsPerPixel, e.palette));

    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, int(entries.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out.append(char(icon.width()));
        out.append(char(icon.height()));
        out.append(char(entries[i].palette.size()));
        out.append(char(0));
        put16(out, 1);
        put16(out, entries[i].bitsPerPixel);
        put32(out, std::uint32_t(images[i].size()));
        put32(out, offset);
        offset += std::uint32_t(images[i].size());
    }
    for (const QByteArray &image : images)
        out.append(image);
    return out;
}

// ------------------------------------------------------------------ main

bool savePng(const QImage &image, const QDir &dir, const QString &name, QTextStream &err)
{
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        err << "draw-assets: cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        err << "usage: draw-assets <output-folder>\n";
        return 2;
    }
    QDir dir(args.at(1));
    if (!dir.mkpath(QStringLiteral("."))) {
        err << "draw-assets: cannot create " << args.at(1) << '\n';
        return 1;
    }

    bool ok = true;
    ok &= savePng(drawSplash(1), dir, QStringLiteral("splash.png"), err);
    ok &= savePng(drawSplash(2), dir, QStringLiteral("splash@2x.png"), err);
    ok &= savePng(drawAbout(1), dir, QStringLiteral("about.png"), err);
    ok &= savePng(drawAbout(2), dir, QStringLiteral("about@2x.png"), err);
    for (int size : { 32, 64, 128 })
        ok &= savePng(drawIcon(size), dir, QStringLiteral("icon-%1.png").arg(size), err);

    QFile ico(dir.filePath(QStringLiteral("quelvaro.ico")));
    const QByteArray icoBytes = icoFile(drawIcon(32));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(icoBytes) != icoBytes.size()) {
        err << "draw-assets: cannot write " << ico.fileName() << '\n';
        ok = false;
    }
    return ok ? 0 : 1;
}
