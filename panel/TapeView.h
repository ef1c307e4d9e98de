// SPDX-License-Identifier: GPL-3.0-or-later
// The printer's paper strip: the newest lines just above the print head, a
// torn upper edge, red and black ink, and scroll-back over the paper.
#pragma once

#include "engine/Events.h"

#include "panel/Controls.h"
#include "printer/Tape.h"

#include <QColor>
#include <QPainterPath>

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

class QPainter;

class QPushButton;
class QLabel;

class QKeySequence;

namespace vx {

class Engine;

namespace TapeGeometry {
inline constexpr int feedLines = 1;
inline constexpr int leadLines = 1;
inline constexpr double edgeHeight = 4;
// Width of one character per unit of font size in the monospaced face.
double advancePerPoint();
double fontSize(double paperWidth);
int rowHeight(double paperWidth);

struct Rows {
    int fullRows;
    int total;
    int scrolledRows;
    int start; // first row built (one more than fits, for the torn edge)
    int end;   // one past the last
};
Rows rows(std::size_t tapeLines, double paperHeight, int rowHeight, double scroll);
double maxScroll(std::size_t tapeLines, double paperHeight, int rowHeight);
// The torn edge over `band`, the same for the same seed.
QPainterPath tornEdge(const QRectF& band, std::uint32_t seed);

inline const QColor paperColor = QColor::fromRgbF(0.97f, 0.96f, 0.91f);
inline const QColor inkRed = QColor::fromRgbF(0.75f, 0.1f, 0.1f);
inline const QColor inkBlack = QColor::fromRgbF(0.12f, 0.12f, 0.12f);

// The note at the far end of a roll that let its oldest lines go.
QString droppedNote(std::uint64_t dropped);
// Paints the paper of `size` (panel units) with the newest lines at its
// foot, `scroll` rows back from there.
void paint(QPainter& p, const QSizeF& size, const Tape& tape, std::uint32_t seed, double scroll);
// The height of a paper that shows every line at once.
double stripHeight(std::size_t tapeLines, double paperWidth);
// The line shown at height `y` of the paper (panel units), if any.
std::optional<std::size_t> lineAt(std::size_t tapeLines, const QSizeF& size, double scroll, double y);
} // namespace TapeGeometry

class TapePaper : public ScaledWidget {
    Q_OBJECT
  public:
    TapePaper(Engine& engine, QWidget* parent);
    double scroll() const { return scroll_; }
    void setScroll(double rows);
    // Shows new lines or a torn-off tape, if `changes` holds any: a new
    // newest line brings the strip back.
    void refresh(const Changes& changes);
    QSizeF paperSize() const;
    // Tells assistive technology about the lines since it last heard.
    void announce(bool torn);
    // The length of the strip's text as assistive technology has heard it.
    int heardLength() const { return spokenLength_; }
    const Engine& engine() const { return engine_; }
    // "gedruckt von Schritt 017" for a line a program step printed.
    static QString printedBy(const TapeLine& line);

  signals:
    // A line that a program step printed was clicked.
    void stepChosen(int step);

  protected:
    bool event(QEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent*) override;

  private:
    const TapeLine* lineUnder(const QPoint& at) const;
    Engine& engine_;
    double scroll_ = 0;
    // How many of the lines printed since the last tear a screen reader has been told of.
    std::uint64_t heard_ = 0;
    // Characters of the strip's text as assistive technology last heard it.
    int spokenLength_ = 0;
    // The length of each line heard that is still on the roll, and the
    // number (counted as printed onto the roll) of the first of them.
    std::deque<std::uint8_t> spokenLines_;
    std::uint64_t heardFrom_ = 0;
};

class TapeView : public ScaledWidget {
    Q_OBJECT
  public:
    // The column's width in panel units.
    static constexpr double baseWidth = 250;
    TapeView(Engine& engine, QWidget* parent);
    TapePaper* paper() const { return paper_; }
    QPushButton* tearButton() const { return tear_; }
    // The menu's shortcut for tearing off, which the button's tooltip names.
    void setTearShortcut(const QKeySequence& shortcut);
    void refresh(const Changes& changes) { paper_->refresh(changes); }

  protected:
    void paintEvent(QPaintEvent*) override;
    void layoutContent() override;

  private:
    Engine& engine_;
    TapePaper* paper_;
    QPushButton* tear_;
};

} // namespace vx
