// SPDX-License-Identifier: GPL-3.0-or-later
// The program sheet: a second window beside the panel with the whole
// program memory, the machine's state while it works, breakpoints, and the
// program as text to edit. It follows the machine at most ten times a second
// during a run, so that the run keeps its pace.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/Host.h"
#include "engine/Types.h"
#include "storage/SavedProgram.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTableWidget;

namespace vx {

class Engine;
class History;
class ShellSettings;
class Timeline;
class ViewFeed;
struct Changes;
class SheetDelegate;
class SheetModel;

class ProgramSheet : public QWidget {
    Q_OBJECT
  public:
    // `feed` brings the machine's changes; `runText` is the panel's run in
    // words; `entry` names the library entry that holds what memory holds.
    ProgramSheet(Engine& engine, ViewFeed& feed, History& history, std::function<QString()> runText,
                 std::function<std::optional<SavedProgram>()> entry, ShellSettings& settings,
                 QWidget* parent);
    ~ProgramSheet() override;

    static QString titleFor(Model model);
    // Marks a step (a tape line's) and brings it into view.
    void markStep(int step);
    void toggleBreakpoint(int step);

    // Whether the calculator's keys act with `focus` in the sheet.
    bool machineTakes(const QWidget* focus) const;

    // --- editing as text ---
    bool editing() const;
    // Not while a program runs, steps or lists, nor with the power off.
    bool mayEdit() const;
    void beginEditing();
    // Reads the text as the library does and puts it into memory; on a
    // problem shows it at its line and changes nothing.
    bool apply();
    void discard();
    // The editor holds what is not yet in memory.
    bool unapplied() const;
    QPlainTextEdit* editor() const { return editor_; }
    QString problem() const;
    int problemLine() const { return problemLine_; }

    QTableView* table() const { return table_; }
    SheetModel& model() const { return *model_; }
    QTableWidget* registers() const { return registers_; }
    Timeline* timeline() const { return timeline_; }
    QString stateText() const;
    // Registers the last change of any register touched.
    const std::vector<bool>& changedRegisters() const { return changed_; }
    // How often the sheet has read the machine.
    int updates() const { return updates_; }
    void saveGeometryNow() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildButtons();
    QWidget* buildState();
    void follow(const Changes& changes);
    void updateState(const Changes& changes);
    void updateRegisters(const Changes& changes);
    void updateButtons();
    void followCounter();
    void showProblem(const QString& why, int line);

    Engine& engine_;
    ViewFeed& feed_;
    History& history_;
    Timeline* timeline_;
    std::function<QString()> runText_;
    std::function<std::optional<SavedProgram>()> entry_;
    ShellSettings& settings_;
    SheetModel* model_;
    SheetDelegate* delegate_;
    QTableView* table_;
    QPlainTextEdit* editor_;
    QLabel* problem_;
    QStackedWidget* pages_;
    QLabel* number_;
    QLabel* calculation_;
    QLabel* returns_;
    QLabel* run_;
    QTableWidget* registers_;
    QPushButton* edit_;
    QPushButton* apply_;
    QPushButton* discard_;
    QPushButton* undo_;
    QPushButton* redo_;
    QPushButton* breakpoint_;
    QPushButton* clearBreakpoints_;
    QPushButton* resetCounts_;
    QCheckBox* whole_;
    int follower_ = 0;
    int updates_ = 0;
    int followed_ = 0;
    int problemLine_ = 0;
    QString original_;
    bool restored_ = false;
    std::vector<bool> changed_;
    // The sheet's size when editing began, taken back when it ends.
    QSize sizeBeforeEditing_;
};

} // namespace vx
