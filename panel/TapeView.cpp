// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/TapeView.h"

#include "engine/Engine.h"
#include "panel/Theme.h"

#include "panel/Accessibility.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vx {

namespace TapeGeometry {

double advancePerPoint() {
    static const double advance =
        QFontMetricsF(Theme::font(Theme::monoFamily(), 100)).horizontalAdvance(QLatin1Char('0')) / 100.0;
    return advance;
}

double fontSize(double paperWidth) {
    return (paperWidth / (TapeLine::columns + 2)) / advancePerPoint();
}

int rowHeight(double paperWidth) {
    return std::max(1, static_cast<int>(std::lround(fontSize(paperWidth) * 1.3)));
}

Rows rows(std::size_t tapeLines, double paperHeight, int rowHeight, double scroll) {
    Rows r{};
    r.fullRows = std::max(static_cast<int>(std::floor(paperHeight / rowHeight)), 1);
    r.total = leadLines + static_cast<int>(tapeLines) + feedLines;
    r.scrolledRows = std::min(static_cast<int>(std::floor(scroll)), std::max(r.total - r.fullRows, 0));
    r.end = r.total - r.scrolledRows;
    r.start = std::max(r.end - r.fullRows - 1, 0);
    return r;
}

double maxScroll(std::size_t tapeLines, double paperHeight, int rowHeight) {
    const Rows r = rows(tapeLines, paperHeight, rowHeight, 0);
    return std::max(r.total - r.fullRows, 0);
}

QPainterPath tornEdge(const QRectF& band, std::uint32_t seed) {
    std::uint32_t s = seed;
    auto draw = [&s] {
        s = s * 1103515245u + 12345u;
        return static_cast<double>((s >> 16) & 0x7FFF) / 32767.0;
    };
    const double h = band.height();
    QPainterPath path;
    path.moveTo(band.left(), band.bottom());
    path.lineTo(band.left(), band.top() + h * 0.5);
    double x = band.left();
    while (x < band.right()) {
        x = std::min(x + 2 + 4 * draw(), band.right());
        path.lineTo(x, band.top() + h * draw());
    }
    path.lineTo(band.right(), band.bottom());
    path.closeSubpath();
    return path;
}

QString droppedNote(std::uint64_t dropped) {
    return QStringLiteral("… %1 ältere Zeilen abgerissen")
        .arg(QLocale(QLocale::German).toString(static_cast<qulonglong>(dropped)));
}

void paint(QPainter& p, const QSizeF& size, const Tape& tape, std::uint32_t seed, double scroll) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double f = fontSize(size.width());
    const int r = rowHeight(size.width());
    const auto shown = rows(tape.size(), size.height(), r, scroll);

    const double edge = edgeHeight;
    p.fillRect(QRectF(0, edge, size.width(), size.height() - edge), paperColor);
    p.setPen(Qt::NoPen);
    p.setBrush(paperColor);
    p.drawPath(tornEdge(QRectF(0, 0, size.width(), edge), seed));

    p.save();
    QPainterPath clip = tornEdge(QRectF(0, 0, size.width(), edge), seed);
    clip.addRect(QRectF(0, edge, size.width(), size.height() - edge));
    p.setClipPath(clip.simplified());
    p.setFont(Theme::font(Theme::monoFamily(), f));
    const double charWidth = advancePerPoint() * std::lround(f);
    const double left = (size.width() - TapeLine::columns * charWidth) / 2;
    for (int i = shown.start; i < shown.end; ++i) {
        const int line = i - leadLines;
        const double y = size.height() - (shown.end - i) * r;
        if (line == -1 && tape.dropped() > 0) {
            // The roll let its oldest lines go: say so where they would continue.
            p.save();
            p.setPen(QColor(0, 0, 0, 110));
            p.setFont(Theme::font(Theme::sansFamily(), f * 0.56));
            p.drawText(QRectF(0, y, size.width(), r), Qt::AlignCenter, droppedNote(tape.dropped()));
            p.restore();
            continue;
        }
        if (line < 0 || line >= static_cast<int>(tape.size())) continue;
        const TapeLine& tl = tape[static_cast<std::size_t>(line)];
        p.setPen(tl.red ? inkRed : inkBlack);
        p.drawText(QRectF(left, y, size.width() - left, r), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(tl.printed()));
    }
    p.restore();

    if (shown.scrolledRows >= 1) {
        // Where in the strip the view stands.
        const double length =
            size.height() * std::min(1.0, static_cast<double>(shown.fullRows) / shown.total);
        const double travel = size.height() - length;
        const double maxRows = std::max(shown.total - shown.fullRows, 1);
        const double top = travel * (1.0 - shown.scrolledRows / maxRows);
        p.setBrush(QColor(0, 0, 0, 77));
        p.drawRoundedRect(QRectF(size.width() - 6, top + 2, 3, length - 4), 1.5, 1.5);
    }
}

std::optional<std::size_t> lineAt(std::size_t tapeLines, const QSizeF& size, double scroll, double y) {
    const int r = rowHeight(size.width());
    const auto shown = rows(tapeLines, size.height(), r, scroll);
    if (y < 0 || y >= size.height()) return std::nullopt;
    // Row i is drawn from height - (end - i) * r down to one row further.
    const int i = shown.end - 1 - static_cast<int>(std::floor((size.height() - y) / r));
    const int line = i - leadLines;
    if (i < shown.start || line < 0 || line >= static_cast<int>(tapeLines)) return std::nullopt;
    return static_cast<std::size_t>(line);
}

double stripHeight(std::size_t tapeLines, double paperWidth) {
    return edgeHeight + (leadLines + static_cast<double>(tapeLines) + feedLines) * rowHeight(paperWidth);
}

} // namespace TapeGeometry

namespace {
constexpr double headerHeight = 28;
} // namespace

TapePaper::TapePaper(Engine& engine, QWidget* parent) : ScaledWidget(parent), engine_(engine) {
    setAccessibleName(QStringLiteral("Papierstreifen"));
}

QSizeF TapePaper::paperSize() const {
    return QSizeF(width() / scale_, height() / scale_);
}

void TapePaper::setScroll(double rowsBack) {
    const QSizeF size = paperSize();
    const double limit =
        TapeGeometry::maxScroll(engine_.tape().size(), size.height(), TapeGeometry::rowHeight(size.width()));
    const double clamped = std::clamp(rowsBack, 0.0, limit);
    if (clamped == scroll_) return;
    scroll_ = clamped;
    update();
}

void TapePaper::refresh(const Changes& changes) {
    // Only a new line or a tear-off repaints the paper, and new output is
    // always brought into view.
    if (!changes.has(Part::tape)) return;
    announce(changes.torn);
    scroll_ = 0;
    update();
}

void TapePaper::announce(bool torn) {
    // New lines are text inserted at the end, one event a line; a torn-off
    // strip starts the text anew; lines the roll lets go at its far end are
    // text removed from the start. The text heard is so never longer than
    // the roll.
    const Tape& tape = engine_.tape();
    const std::uint64_t count = tape.printed();
    if (torn || count < heard_) {
        QAccessibleTextRemoveEvent removed(this, 0, QString(spokenLength_, QLatin1Char(' ')));
        Accessibility::announce(removed);
        spokenLength_ = 0;
        spokenLines_.clear();
        heardFrom_ = 0;
        heard_ = 0;
    }
    int gone = 0;
    for (; heardFrom_ < tape.dropped() && !spokenLines_.empty(); ++heardFrom_) {
        gone += spokenLines_.front();
        spokenLines_.pop_front();
    }
    if (gone > 0) {
        QAccessibleTextRemoveEvent removed(this, 0, QString(gone, QLatin1Char(' ')));
        Accessibility::announce(removed);
        spokenLength_ -= gone;
    }
    // Lines the roll let go before they were heard are not heard any more.
    const std::uint64_t first = std::max(heard_, tape.dropped());
    if (spokenLines_.empty()) heardFrom_ = first;
    for (std::uint64_t i = first; i < count; ++i) {
        const QString line =
            QString::fromStdString(tape[static_cast<std::size_t>(i - tape.dropped())].printed()) +
            QLatin1Char('\n');
        QAccessibleTextInsertEvent inserted(this, spokenLength_, line);
        Accessibility::announce(inserted);
        spokenLength_ += static_cast<int>(line.size());
        spokenLines_.push_back(static_cast<std::uint8_t>(line.size()));
    }
    heard_ = count;
}

QString TapePaper::printedBy(const TapeLine& line) {
    if (line.step == 0) return {};
    return QStringLiteral("gedruckt von Schritt %1").arg(QString::fromStdString(Codes::decimal(line.step)));
}

const TapeLine* TapePaper::lineUnder(const QPoint& at) const {
    const auto line = TapeGeometry::lineAt(engine_.tape().size(), paperSize(), scroll_, at.y() / scale_);
    return line ? &engine_.tape()[*line] : nullptr;
}

bool TapePaper::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const TapeLine* line = lineUnder(help->pos());
        if (line && line->step)
            QToolTip::showText(help->globalPos(), printedBy(*line), this);
        else
            QToolTip::hideText();
        return true;
    }
    return ScaledWidget::event(e);
}

void TapePaper::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        if (const TapeLine* line = lineUnder(e->position().toPoint()); line && line->step)
            emit stepChosen(line->step);
    ScaledWidget::mouseReleaseEvent(e);
}

void TapePaper::wheelEvent(QWheelEvent* e) {
    const QSizeF size = paperSize();
    const int r = TapeGeometry::rowHeight(size.width());
    double delta;
    if (!e->pixelDelta().isNull())
        delta = e->pixelDelta().y() / (r * scale_); // a trackpad: pixels
    else
        delta = e->angleDelta().y() / 120.0; // a wheel: notches
    setScroll(scroll_ + delta);
    e->accept();
}

void TapePaper::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.scale(scale_, scale_);
    TapeGeometry::paint(p, paperSize(), engine_.tape(), engine_.tearSeed(), scroll_);
}

TapeView::TapeView(Engine& engine, QWidget* parent) : ScaledWidget(parent), engine_(engine) {
    paper_ = new TapePaper(engine, this);
    tear_ = new QPushButton(QStringLiteral("Abreißen"), this);
    tear_->setFlat(true);
    tear_->setCursor(Qt::PointingHandCursor);
    tear_->setFocusPolicy(Qt::NoFocus);
    tear_->setAccessibleName(QStringLiteral("Papierstreifen abreißen"));
    tear_->setToolTip(QStringLiteral("Papierstreifen abreißen"));
    connect(tear_, &QPushButton::clicked, this, [this] { engine_.clearTape(); });
}

void TapeView::setTearShortcut(const QKeySequence& shortcut) {
    // As a German keyboard labels the keys.
    const QString keys = shortcut.toString(QKeySequence::PortableText)
                             .replace(QStringLiteral("Ctrl+"), QStringLiteral("Strg+"))
                             .replace(QStringLiteral("Shift+"), QStringLiteral("Umschalt+"));
    tear_->setToolTip(keys.isEmpty() ? QStringLiteral("Papierstreifen abreißen")
                                     : QStringLiteral("Papierstreifen abreißen (%1)").arg(keys));
}

void TapeView::layoutContent() {
    const double h = height() / scale_;
    paper_->setScale(scale_);
    paper_->place(QRectF(12 * scale_, headerHeight * scale_, (baseWidth - 24) * scale_,
                         (h - headerHeight - 12) * scale_)
                      .toRect());
    tear_->setFont(Theme::font(Theme::sansFamily(), 11 * scale_));
    tear_->setStyleSheet(
        QStringLiteral("QPushButton { color: rgba(235,235,235,191); border: none; padding: 0; }"
                       "QPushButton:hover { color: white; }"
                       "QPushButton:pressed { color: rgba(255,255,255,120); }"));
    tear_->setGeometry(QRectF((baseWidth - 12 - 80) * scale_, 4 * scale_, 80 * scale_, 20 * scale_).toRect());
}

void TapeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale_, scale_);
    p.setPen(QColor(235, 235, 235, 191));
    p.setFont(Theme::font(Theme::sansFamily(), 11));
    p.drawText(QRectF(12, 4, 120, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Drucker"));
    // A soft shadow around the strip.
    const double h = height() / scale_;
    const QRectF strip(12, headerHeight, baseWidth - 24, h - headerHeight - 12);
    p.setPen(Qt::NoPen);
    for (int i = 5; i >= 1; --i) {
        p.setBrush(QColor(0, 0, 0, static_cast<int>(0.35 * 255 / 5)));
        p.drawRoundedRect(strip.adjusted(-i, -i + 3, i, i + 3), i, i);
    }
}

} // namespace vx
