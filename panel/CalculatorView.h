// SPDX-License-Identifier: GPL-3.0-or-later
// The whole window content: display panel above the keyboard picture, the
// paper-tape column at the right, all scaled by the zoom about the top left.
#pragma once

#include <QAccessible>
#include <QElapsedTimer>
#include <QSizeF>
#include <QWidget>

class QMenu;
class QTimer;

namespace vx {

class Engine;
class KeyHelp;
class DisplayPanel;
class KeyboardView;
class TapeView;
class ViewFeed;
struct Changes;
struct MachineEvent;

class CalculatorView : public QWidget {
    Q_OBJECT
  public:
    static constexpr double keyboardWidth = 1040;
    static constexpr double tapeWidth = 250;
    static constexpr double displayHeight = 112;
    static double keyboardHeight();
    static QSizeF baseSize();

    // `feed` brings the machine's changes (at most 30 times a second during a run).
    CalculatorView(Engine& engine, KeyHelp& help, ViewFeed& feed, QWidget* parent = nullptr);
    ~CalculatorView() override;
    // 1.0 draws the content at its base size (the 150 % zoom).
    void setFactor(double factor);
    double factor() const { return factor_; }
    QSize zoomedSize() const;

    DisplayPanel* displayPanel() const { return display_; }
    KeyboardView* keyboard() const { return keyboard_; }
    TapeView* tapeView() const { return tape_; }
    // The current or last run in words (also the display's tooltip), or
    // nothing before the first run.
    QString runText() const;
    // How often the views were brought up to date (for tests of the pace).
    int refreshes() const { return refreshes_; }

  signals:
    // The panel's context menu is about to open: whoever connects fills it
    // (the program menu's entries); an empty menu does not open.
    void contextMenuRequested(QMenu& menu);
    // Each change of one of the panel's parts that assistive technology is
    // told about, as it is told, whether or not a screen reader listens.
    void announced(QObject* part, QAccessible::Event type);

  protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

  private:
    void layoutChildren();
    void refreshViews(const Changes& changes);
    void followRun(const MachineEvent& event);
    Engine& engine_;
    ViewFeed& feed_;
    int follower_ = 0;
    int hearer_ = 0;
    double factor_ = 1.0;
    DisplayPanel* display_;
    KeyboardView* keyboard_;
    TapeView* tape_;
    QElapsedTimer runClock_;
    QElapsedTimer lastSummary_;
    bool anyRun_ = false;
    double lastWallSeconds_ = 0;
    int refreshes_ = 0;
};

} // namespace vx
