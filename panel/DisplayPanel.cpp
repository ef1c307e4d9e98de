// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/DisplayPanel.h"

#include "engine/Engine.h"
#include "panel/Accessibility.h"
#include "panel/Layout.h"
#include "panel/Theme.h"

#include <QAccessible>

#include <QPainter>

namespace vx {

namespace DisplayView {

QString segmentsFor(char ch) {
    switch (ch) {
    case '0': return "abcdef";
    case '1': return "bc";
    case '2': return "abged";
    case '3': return "abgcd";
    case '4': return "fgbc";
    case '5': return "afgcd";
    case '6': return "afgedc";
    case '7': return "abc";
    case '8': return "abcdefg";
    case '9': return "abcdfg";
    case '-': return "g";
    case 'E': return "adefg";
    default: return {};
    }
}

namespace {
struct Geometry {
    double x, m, h, w, t, s;
};

Geometry geometry(const QRectF& area, int count, int index) {
    const double H = area.height(), W = area.width();
    const double h = 0.78 * H;
    const double p = W / count;
    const double w = 0.58 * p;
    const double t = 0.17 * w;
    return {area.left() + 0.18 * p + index * p, area.top() + (H - h) / 2, h, w, t, 0.18 * t};
}
} // namespace

QPainterPath segmentPath(const QRectF& area, int count, int index, char segment) {
    const Geometry g = geometry(area, count, index);
    const double t = g.t, s = g.s, w = g.w, h = g.h;
    std::vector<QPointF> corners;
    if (segment == 'a' || segment == 'g' || segment == 'd') {
        const double c = segment == 'a' ? t / 2 : segment == 'g' ? h / 2 : h - t / 2;
        corners = {{s + t / 2, c},     {s + t, c - t / 2},     {w - s - t, c - t / 2},
                   {w - s - t / 2, c}, {w - s - t, c + t / 2}, {s + t, c + t / 2}};
    } else {
        const double k = (segment == 'f' || segment == 'e') ? t / 2 : w - t / 2;
        const double top = (segment == 'f' || segment == 'b') ? 0 : h / 2;
        const double bottom = top + h / 2;
        corners = {{k, top + s + t / 2},    {k + t / 2, top + s + t},    {k + t / 2, bottom - s - t},
                   {k, bottom - s - t / 2}, {k - t / 2, bottom - s - t}, {k - t / 2, top + s + t}};
    }
    QPainterPath path;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        // The digits lean forward: the top is a tenth of the height further right.
        const QPointF at(g.x + corners[i].x() + 0.1 * (h - corners[i].y()), g.m + corners[i].y());
        if (i == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    path.closeSubpath();
    return path;
}

QPointF pointCentre(const QRectF& area, int count, int index) {
    const Geometry g = geometry(area, count, index);
    return {g.x + g.w + g.t * 0.9, g.m + g.h - g.t / 2};
}

void paint(QPainter& p, const QRectF& area, const std::vector<Cell>& cells, bool lit) {
    const int n = static_cast<int>(cells.size());
    if (n == 0) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QColor ghost = Theme::glow;
    ghost.setAlphaF(0.022f);
    QColor halo = Theme::glow;
    halo.setAlphaF(0.22f);
    for (int i = 0; i < n; ++i) {
        const QString on = lit ? segmentsFor(cells[static_cast<std::size_t>(i)].ch) : QString();
        for (char seg : std::string("abcdefg")) {
            const QPainterPath path = segmentPath(area, n, i, seg);
            if (on.contains(QLatin1Char(seg))) {
                // A soft halo around the lit bar, then the bar itself.
                p.strokePath(path, QPen(halo, geometry(area, n, i).t * 0.5, Qt::SolidLine, Qt::RoundCap,
                                        Qt::RoundJoin));
                p.fillPath(path, Theme::glow);
            } else {
                p.fillPath(path, ghost);
            }
        }
        const Cell& c = cells[static_cast<std::size_t>(i)];
        const double t = geometry(area, n, i).t;
        const QPointF centre = pointCentre(area, n, i);
        if (lit && (c.dot || c.comma)) {
            p.setBrush(halo);
            p.drawEllipse(centre, t * 0.8, t * 0.8);
            p.setBrush(Theme::glow);
            p.drawEllipse(centre, t / 2, t / 2);
            if (c.comma) {
                p.setPen(QPen(Theme::glow, 0.45 * t, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(centre, centre + QPointF(-0.3 * t, 1.1 * t));
                p.setPen(Qt::NoPen);
            }
        } else {
            p.setBrush(ghost);
            p.drawEllipse(centre, t / 2, t / 2);
        }
    }
    p.restore();
}

} // namespace DisplayView

namespace {
constexpr double powerX = 24, powerY = 31, powerW = 26, powerH = 50;
constexpr double windowX = 250, windowY = 14, windowW = 772, windowH = 84;
} // namespace

DisplayPanel::DisplayPanel(Engine& engine, QWidget* parent) : ScaledWidget(parent), engine_(engine) {
    power_ = new SlideSwitch(2, this);
    power_->setAccessibleName(Layout::switchName(SwitchId::power));
    power_->positionNames = {QStringLiteral("EIN"), QStringLiteral("AUS")};
    connect(power_, &SlideSwitch::chosen, this, [this](int index) { engine_.setPower(index == 0); });
}

QRectF DisplayPanel::digitArea() {
    return QRectF(windowX + 14, windowY + 12, windowW - 28, windowH - 24);
}

void DisplayPanel::refresh(const Changes& changes) {
    if (changes.has(Part::switches)) power_->setIndex(engine_.power() ? 0 : 1);
    // The model's name is on the strip; otherwise only the digits change.
    if (changes.has(Part::model))
        update();
    else if (changes.has(Part::display))
        update(digitWindow());
    if (!changes.has(Part::display)) return;
    const Shown& shown = changes.shown;
    shown_ = shown;
    // The error state gives no hint on the display itself: say how to leave
    // it (a run's own words stay when there is no error).
    const QString hint = QStringLiteral("Fehler: CLEAR (Esc) oder RESET (Umschalt+Esc) beendet ihn.");
    if (shown.kind == Shown::Kind::error) {
        setToolTip(hint);
        setAccessibleDescription(hint);
    } else if (toolTip() == hint) {
        setToolTip(QString());
        setAccessibleDescription(QString());
    }
    // A screen reader hears the display when what it says changes, not on
    // every blink: a running program reads "Programm läuft" throughout.
    QString spoken = Accessibility::displayText(shown);
    if (spoken != spoken_) {
        QAccessibleTextUpdateEvent event(this, 0, spoken_, spoken);
        Accessibility::announce(event);
        spoken_ = std::move(spoken);
    }
}

QRect DisplayPanel::digitWindow() const {
    const QRectF window(windowX - 6, windowY - 6, windowW + 12, windowH + 14);
    return QRectF(window.topLeft() * scale_, window.size() * scale_).toAlignedRect();
}

void DisplayPanel::layoutContent() {
    power_->setScale(scale_);
    power_->place(QRectF(powerX * scale_, powerY * scale_, powerW * scale_, powerH * scale_).toRect());
}

void DisplayPanel::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (static_.size() != pixels || staticModel_ != engine_.model()) {
        static_ = QPixmap(pixels);
        static_.setDevicePixelRatio(ratio);
        static_.fill(Qt::transparent);
        QPainter layer(&static_);
        paintStatic(layer);
        staticModel_ = engine_.model();
    }
    QPainter p(this);
    p.drawPixmap(0, 0, static_);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale_, scale_);
    DisplayView::paint(p, digitArea(), shown_.cells, shown_.kind != Shown::Kind::off);
}

void DisplayPanel::paintStatic(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale_, scale_);
    const double w = width() / scale_;

    QLinearGradient strip(0, 0, 0, stripHeight);
    strip.setColorAt(0, QColor::fromRgbF(0.8f, 0.8f, 0.8f));
    strip.setColorAt(1, QColor::fromRgbF(0.7f, 0.69f, 0.65f));
    p.fillRect(QRectF(0, 0, w, stripHeight), strip);
    p.setPen(QColor(255, 255, 255, 120));
    p.drawLine(QPointF(0, 0.5), QPointF(w, 0.5));
    p.setPen(QColor(0, 0, 0, 90));
    p.drawLine(QPointF(0, stripHeight - 0.5), QPointF(w, stripHeight - 0.5));

    // ON above the power switch, OFF below it.
    p.setPen(QColor(40, 40, 40));
    p.setFont(Theme::font(Theme::sansFamily(), 9, QFont::Bold));
    p.drawText(QRectF(powerX - 12, powerY - 18, powerW + 24, 14), Qt::AlignCenter, QStringLiteral("ON"));
    p.drawText(QRectF(powerX - 12, powerY + powerH + 3, powerW + 24, 14), Qt::AlignCenter,
               QStringLiteral("OFF"));

    // The maker's label.
    p.setPen(QColor(35, 33, 30));
    p.setFont(Theme::font(Theme::serifFamily(), 17, QFont::DemiBold));
    p.drawText(QRectF(70, 28, 175, 30), Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Veltranix"));
    p.setPen(QColor(70, 66, 60));
    p.setFont(Theme::font(Theme::sansFamily(), 11, QFont::Medium));
    p.drawText(QRectF(70, 60, 175, 22), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Orbis %1 Numerist").arg(QString::fromStdString(rawValue(engine_.model()))));

    // The display window with its frame and shadow.
    const QRectF window(windowX, windowY, windowW, windowH);
    for (int i = 4; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 22));
        p.drawRoundedRect(window.adjusted(-i, -i + 2, i, i + 2), 8 + i, 8 + i);
    }
    QLinearGradient frame(window.topLeft(), window.bottomLeft());
    frame.setColorAt(0, QColor::fromRgbF(0.35f, 0.35f, 0.35f));
    frame.setColorAt(1, QColor::fromRgbF(0.95f, 0.95f, 0.95f));
    p.setBrush(QColor::fromRgbF(0.05f, 0.02f, 0.02f));
    p.setPen(QPen(QBrush(frame), 3));
    p.drawRoundedRect(window, 8, 8);
}

} // namespace vx
