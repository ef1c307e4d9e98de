// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the keyboard picture "Vxpanel": the case plate, the recessed key
// wells, every key cap with its legend exactly where the layout puts it, the
// switch slots with their position labels, and the engraved maker's plate.
// Run it to regenerate the pictures:  drawpanel resources/Vxpanel.png
// It also writes Vxpanel-1040.png beside it: the picture already scaled to the
// keyboard's width at the base zoom, so the window and the snapshot need not
// decode and scale the large one at every start.
#include "panel/Layout.h"
#include "panel/PanelKeys.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <cstdio>

using namespace vx;

namespace {

constexpr double pixelScale = 2.0; // the picture is stored at twice its nominal size

QString family(const char* wanted) {
    return QFontDatabase::families().contains(QString::fromLatin1(wanted)) ? QString::fromLatin1(wanted)
                                                                           : QStringLiteral("Sans Serif");
}

QFont legendFont(double size, bool condensed = false, int weight = QFont::Bold) {
    QFont f(family("DejaVu Sans"));
    f.setPixelSize(static_cast<int>(size * pixelScale));
    f.setWeight(static_cast<QFont::Weight>(weight));
    if (condensed) f.setStretch(QFont::Condensed);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Text in panel units although the painter is scaled: fonts are sized in pixels.
void text(QPainter& p, const QRectF& r, const QString& s, const QFont& font, const QColor& colour,
          int flags = Qt::AlignCenter) {
    p.save();
    p.scale(1 / pixelScale, 1 / pixelScale);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(r.topLeft() * pixelScale, r.size() * pixelScale), flags, s);
    p.restore();
}

// Letters cut into the plate: a dark stroke with a light one below it.
void engraved(QPainter& p, const QRectF& r, const QString& s, const QFont& font,
              int flags = Qt::AlignCenter) {
    text(p, r.translated(0, 0.7), s, font, QColor(255, 255, 255, 70), flags);
    text(p, r, s, font, QColor(28, 26, 24, 220), flags);
}

struct CapStyle {
    QColor body;
    QColor ink;
};

void drawWell(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.addRoundedRect(r, 10, 10);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(74, 70, 64));
    fill.setColorAt(1, QColor(86, 81, 74));
    p.fillPath(path, fill);
    // Inner shadow along the top and left, light along the bottom edge.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(0, 0, 0, 40 - i * 9), 1.0));
        p.drawRoundedRect(r.adjusted(i * 0.8 + 0.5, i * 0.8 + 0.5, -0.5, -0.5), 10, 10);
    }
    p.setPen(QPen(QColor(255, 255, 255, 45), 1.0));
    p.drawLine(QPointF(r.left() + 10, r.bottom() + 0.5), QPointF(r.right() - 10, r.bottom() + 0.5));
}

void drawCap(QPainter& p, const QRectF& r, const CapStyle& style) {
    const double radius = std::min(8.0, std::min(r.width(), r.height()) * 0.18);
    // Drop shadow under the cap.
    for (int i = 6; i >= 1; --i) {
        QPainterPath shadow;
        shadow.addRoundedRect(r.adjusted(-i * 0.2, 1.5 + i * 0.1, i * 0.2, 2.0 + i * 0.55), radius + i * 0.5,
                              radius + i * 0.5);
        p.fillPath(shadow, QColor(0, 0, 0, 22));
    }
    // The skirt: the cap's sides, darker than its top.
    QPainterPath skirt;
    skirt.addRoundedRect(r, radius, radius);
    QLinearGradient side(r.topLeft(), r.bottomLeft());
    side.setColorAt(0, style.body.darker(112));
    side.setColorAt(1, style.body.darker(165));
    p.fillPath(skirt, side);
    p.setPen(QPen(QColor(0, 0, 0, 170), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(skirt);
    // The dished top surface, lit from above.
    const double inset = std::min(5.0, r.width() * 0.06);
    const QRectF top = r.adjusted(inset, inset * 0.6, -inset, -inset * 1.5);
    QPainterPath face;
    face.addRoundedRect(top, radius * 0.8, radius * 0.8);
    QLinearGradient light(top.topLeft(), top.bottomLeft());
    light.setColorAt(0, style.body.lighter(118));
    light.setColorAt(0.45, style.body);
    light.setColorAt(1, style.body.darker(106));
    p.fillPath(face, light);
    p.setPen(QPen(QColor(255, 255, 255, 60), 0.8));
    p.drawLine(QPointF(top.left() + radius, top.top() + 0.6), QPointF(top.right() - radius, top.top() + 0.6));
}

QRectF face(const QRectF& r) {
    const double inset = std::min(5.0, r.width() * 0.06);
    return r.adjusted(inset, inset * 0.6, -inset, -inset * 1.5);
}

void drawSlot(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.addRoundedRect(r.adjusted(-5, -5, 5, 5), 8, 8);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(30, 29, 27));
    fill.setColorAt(1, QColor(48, 46, 43));
    p.fillPath(path, fill);
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(-5.5, -5.5, 5.5, 5.5), 8.5, 8.5);
}

// The case plate: warm grey, a little darker towards the user, brushed, with
// a bevel round its edge.
void drawPlate(QPainter& p, QSize size) {
    const double W = Layout::imageSize.width(), H = Layout::imageSize.height();
    QLinearGradient plate(0, 0, 0, H);
    plate.setColorAt(0, QColor(146, 139, 127));
    plate.setColorAt(1, QColor(118, 112, 102));
    p.fillRect(QRectF(0, 0, W, H), plate);
    QRandomGenerator rng(1971);
    p.save();
    p.resetTransform();
    for (int y = 0; y < size.height(); y += 2) {
        const int shade = static_cast<int>(rng.bounded(14)) - 7;
        p.setPen(QColor(shade > 0 ? 255 : 0, shade > 0 ? 255 : 0, shade > 0 ? 255 : 0, std::abs(shade) * 2));
        p.drawLine(0, y, size.width(), y);
    }
    for (int i = 0; i < 60000; ++i) {
        const int x = static_cast<int>(rng.bounded(size.width())),
                  y = static_cast<int>(rng.bounded(size.height()));
        p.setPen(rng.bounded(2) ? QColor(255, 255, 255, 16) : QColor(0, 0, 0, 18));
        p.drawPoint(x, y);
    }
    p.restore();
    p.setPen(QPen(QColor(255, 255, 255, 90), 2));
    p.drawLine(QPointF(0, 1), QPointF(W, 1));
    p.setPen(QPen(QColor(0, 0, 0, 110), 3));
    p.drawLine(QPointF(0, H - 1.5), QPointF(W, H - 1.5));
}

const QColor white(246, 244, 238), black(24, 24, 24);
const CapStyle ivory{QColor(236, 229, 212), black};

// Each cap colour family the key table names, painted.
const CapStyle& styleOf(Cap cap) {
    static const CapStyle slate{QColor(70, 78, 92), white};
    static const CapStyle orange{QColor(214, 108, 38), white};
    static const CapStyle warm{QColor(176, 168, 152), black};
    static const CapStyle red{QColor(184, 44, 36), white};
    static const CapStyle yellow{QColor(242, 194, 44), black};
    static const CapStyle light{QColor(204, 201, 194), black};
    static const CapStyle navy{QColor(44, 70, 108), white};
    static const CapStyle ebony{QColor(34, 34, 34), white};
    static const CapStyle charcoal{QColor(58, 58, 60), white};
    switch (cap) {
    case Cap::ivory: return ivory;
    case Cap::slate: return slate;
    case Cap::orange: return orange;
    case Cap::warm: return warm;
    case Cap::red: return red;
    case Cap::yellow: return yellow;
    case Cap::light: return light;
    case Cap::navy: return navy;
    case Cap::ebony: return ebony;
    case Cap::charcoal: return charcoal;
    }
    return ivory;
}

// The keys with their legends, and the shifted functions printed under the
// keys whose help the overlay does not draw.
void drawKeys(QPainter& p) {
    for (const PanelKey& k : panelKeys) {
        const Key key = k.key;
        const QRectF& rect = k.rect;
        QString legend = Layout::legend(key);
        // START STOP stands on two lines of its tall cap.
        if (key.kind == KeyKind::startStop) legend.replace(QLatin1Char(' '), QLatin1Char('\n'));
        const CapStyle& style = styleOf(k.cap.colour);
        drawCap(p, rect, style);
        QRectF where = face(rect);
        // Keys whose shifted label sits inside the cap carry their legend in the upper part.
        if (Layout::helpInsideKey(key)) where.setBottom(rect.bottom() - rect.height() * 0.36 - 3);
        text(p, where, legend, legendFont(k.cap.legendSize, legend.size() > 4), style.ink);
    }
    const QColor amber(255, 214, 77);
    for (const auto& [key, rect] : Layout::keys()) {
        const QString label = Layout::printedShiftLegend(key);
        if (label.isEmpty()) continue;
        // As large as the room below the key allows: MEAN under SD has the least.
        const QRectF below(rect.left() - 12, rect.bottom() + 3, rect.width() + 24, 19);
        text(p, below, label, legendFont(15.5, false, QFont::DemiBold), amber);
    }
}

void drawSwitch(QPainter& p, const QRectF& r, const QString& heading, const QStringList& positions,
                bool left) {
    drawSlot(p, r);
    engraved(p, QRectF(r.center().x() - 70, r.top() - 28, 140, 14), heading,
             legendFont(10, false, QFont::Bold));
    const QFont small = legendFont(11, false, QFont::Bold);
    const int n = static_cast<int>(positions.size());
    for (int i = 0; i < n; ++i) {
        const double cy = r.top() + r.height() * (n == 3 ? (0.21 + 0.29 * i) : (0.25 + 0.5 * i));
        const QRectF where =
            left ? QRectF(r.left() - 66, cy - 8, 56, 16) : QRectF(r.right() + 10, cy - 8, 60, 16);
        engraved(p, where, positions[i], small, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
}

void drawSwitches(QPainter& p) {
    drawSwitch(p, Layout::printerSwitch(), QStringLiteral("DRUCKER"),
               {QStringLiteral("EIN"), QStringLiteral("AUS")}, false);
    drawSwitch(p, Layout::modeSwitch(), QStringLiteral("BETRIEBSART"),
               {QStringLiteral("RUN"), QStringLiteral("STEP"), QStringLiteral("LOAD")}, false);
    drawSwitch(p, Layout::tapeSwitch(), QStringLiteral("STREIFEN"),
               {QStringLiteral("EIN"), QStringLiteral("AUS")}, true);
    drawSwitch(p, Layout::angleSwitch(), QStringLiteral("WINKEL"),
               {QStringLiteral("GRAD"), QStringLiteral("DEG")}, false);
}

// The program group's title and the maker's plate.
void drawPlates(QPainter& p) {
    engraved(p, QRectF(489, 16, 222, 16), QStringLiteral("PROGRAMM"), legendFont(10, false, QFont::Bold));
    const QRectF plateRect(770, 70, 440, 110);
    QPainterPath badge;
    badge.addRoundedRect(plateRect, 6, 6);
    QLinearGradient metal(plateRect.topLeft(), plateRect.bottomLeft());
    metal.setColorAt(0, QColor(196, 192, 184));
    metal.setColorAt(0.5, QColor(168, 163, 154));
    metal.setColorAt(1, QColor(184, 180, 171));
    p.fillPath(badge, metal);
    p.setPen(QPen(QColor(60, 56, 50), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(badge);
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.8));
    p.drawRoundedRect(plateRect.adjusted(2, 2, -2, -2), 5, 5);
    QFont brand(family("DejaVu Serif"));
    brand.setPixelSize(static_cast<int>(34 * pixelScale));
    brand.setWeight(QFont::DemiBold);
    brand.setLetterSpacing(QFont::PercentageSpacing, 112);
    text(p, QRectF(plateRect.left(), plateRect.top() + 14, plateRect.width(), 44),
         QStringLiteral("Veltranix"), brand, QColor(40, 36, 32));
    QFont line = legendFont(11, false, QFont::DemiBold);
    line.setLetterSpacing(QFont::PercentageSpacing, 130);
    text(p, QRectF(plateRect.left(), plateRect.top() + 62, plateRect.width(), 16),
         QStringLiteral("ORBIS NUMERIST · TISCHRECHNER"), line, QColor(52, 48, 42));
    text(p, QRectF(plateRect.left(), plateRect.top() + 82, plateRect.width(), 16),
         QStringLiteral("416 SCHRITTE · 13 STELLEN · DRUCKWERK"), legendFont(9.5, false, QFont::Normal),
         QColor(70, 64, 56));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: drawpanel OUTPUT.png\n");
        return 2;
    }
    const QSize size = (Layout::imageSize * pixelScale).toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(pixelScale, pixelScale);
    drawPlate(p, size);
    // Recessed wells behind the key groups.
    for (const QRectF& well : Layout::wells()) drawWell(p, well);
    drawKeys(p);
    drawSwitches(p);
    drawPlates(p);
    p.end();

    const QString path = QString::fromLocal8Bit(argv[1]);
    QString basePath = path;
    basePath.replace(QStringLiteral(".png"), QStringLiteral("-1040.png"));
    const QImage base = Layout::downscaled(image, Layout::baseImageSize());
    if (!image.save(path, "PNG") || !base.save(basePath, "PNG")) {
        std::fprintf(stderr, "drawpanel: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
