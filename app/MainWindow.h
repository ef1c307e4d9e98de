// SPDX-License-Identifier: GPL-3.0-or-later
// The one window: the zoomed panel at a fixed size, the application menu
// (model, size, key help, key map, about, quit) and the "Programme" menu.
#pragma once

#include "engine/Types.h"
#include "program/Codes.h"
#include "storage/Collection.h"
#include "storage/SafeFile.h"
#include "storage/SavedProgram.h"

#include "app/ClipboardActions.h"
#include "app/GuideWindow.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QActionGroup;
class QMenu;

namespace vx {

class ShellSettings;
class ViewFeed;
class SoundPlayer;
struct Changes;

class Engine;
class History;
class KeyHelp;
class UserPrograms;
class ZoomSetting;
class CalculatorView;
class ProgramSheet;
class Scheduler;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(Engine& engine, UserPrograms& library, KeyHelp& help, ZoomSetting& zoom,
               ShellSettings& settings, Collection collection = Collection(Collection::installedFolder()));
    ~MainWindow() override;
    CalculatorView* calculator() const { return view_; }
    // The machine's sounds; the host gives it somewhere to play them.
    SoundPlayer& sound() const { return *sound_; }
    // Undo, redo and the walk through the last run.
    History& history() const { return *history_; }
    QMenu* programMenu() const { return programs_; }
    QMenu* tapeMenu() const { return tape_; }
    QMenu* editMenu() const { return edit_; }
    QMenu* applicationMenu() const { return appMenu_; }
    // Asks before a model change that would clear a program.
    void chooseModel(int index);
    // Opens the user guide (F1), or says where it was looked for.
    void showGuide();
    // "Aktion suchen …" (Ctrl+Alt+I): every menu entry, key and switch position by typing.
    void searchAction();
    QStringList guidePlaces = GuideWindow::places();
    GuideWindow* guideWindow() const { return guide_; }
    // The calculator's keys act in the panel's window and in the program
    // sheet's listing (the application's shortcuts in both windows).
    bool machineTakes(const QWidget* window, const QWidget* focus) const;
    // Shows a panel key pressed for a moment (a key typed on the keyboard).
    void showPressed(Key key);
    // The about box: name, version, what it is, the licence.
    static QString aboutText();
    // Keeps the window's top-left corner where it is.
    void fitToZoom();
    // The program memory holds steps that are neither in the model's
    // library nor what was last loaded, pasted, saved, imported or exported.
    bool programUnsaved();
    // The desktop session is ending: closes as the user would, asking what
    // would be lost; false when the session should wait (the user chose to
    // stay, or a close question is already open).
    bool sessionMayEnd();
    // The program memory is now kept somewhere: closing need not ask.
    // `action`: the words the history gives the change ("Programm laden").
    void programKnown(const QString& action = {});
    // The library entry holding the program in memory, if one does.
    std::optional<SavedProgram> libraryEntry();
    // Imports a program file as "Programm importieren …" does.
    bool importFile(const SafeFile::Path& path);
    // Where the window was last closed, on platforms that let an
    // application place its window; a place off every screen is forgotten.
    void restorePosition();
    // The program sheet, opened (and made) on demand; `step` marks a step.
    ProgramSheet* showSheet(int step = 0);
    ProgramSheet* programSheet() const;
    // The clock that paces the sheet during a run (the test's own, say).

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildAppMenu();
    void buildHelpMenu();
    void addSizeMenu();
    void addTempoMenu();
    void addSoundMenu();
    void showKeyMap();
    void rebuildPrograms();
    void scheduleRebuild();
    void machineChanged(const Changes& changes);
    void updateEditMenu();
    // Asks what closing would lose, keeps the machine when continuous
    // memory is on; false when the window must stay.
    bool mayClose();
    bool askedMayClose();
    void savePosition();
    void addSheetEntry(QMenu& menu);
    bool maySheetClose();

    Engine& engine_;
    UserPrograms& library_;
    Collection collection_;
    ShellSettings& settings_;
    KeyHelp& help_;
    ZoomSetting& zoom_;
    CalculatorView* view_;
    QMenu* appMenu_;
    QMenu* programs_;
    QMenu* tape_;
    QMenu* edit_;
    QPointer<GuideWindow> guide_;
    QPointer<ProgramSheet> sheet_;
    QActionGroup* models_;
    // Times what a running machine shows, for the panel, the sheet and the menus.
    Scheduler* frames_ = nullptr;
    std::unique_ptr<ViewFeed> feed_;
    std::unique_ptr<SoundPlayer> sound_;
    std::unique_ptr<History> history_;
    struct HistoryEntries {
        QAction* undo = nullptr;
        QAction* redo = nullptr;
        QAction* back = nullptr;
        QAction* forward = nullptr;
    } historyEntries_;
    void addHistoryEntries();
    void updateHistoryEntries();
    int follower_ = 0;
    // The tape menu's entries that need a tape.
    QList<QAction*> tapeEntries_;
    ClipboardActions::NumberEntries numberEntries_{};
    bool rebuildPending_ = false;
    std::optional<std::vector<Step>> known_;
    bool closing_ = false;
    // A close question is open.
    bool asking_ = false;
};

} // namespace vx
