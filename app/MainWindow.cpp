// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/Clipboard.h"
#include "app/ClipboardActions.h"
#include "app/Dialogs.h"
#include "app/GuideWindow.h"
#include "app/ProgramActions.h"
#include "app/ZoomSetting.h"
#include "engine/Engine.h"
#include "panel/CalculatorView.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "storage/UserPrograms.h"

#include <QActionGroup>
#include <QApplication>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace vx {

MainWindow::MainWindow(Engine& engine, UserPrograms& library, KeyHelp& help, ZoomSetting& zoom)
    : engine_(engine), library_(library), help_(help), zoom_(zoom) {
    view_ = new CalculatorView(engine, help, this);
    setCentralWidget(view_);
    view_->contextMenuFiller = [this](QMenu& menu) {
        library_.checkForChanges();
        ClipboardActions::addNumberEntries(menu, engine_, this);
        menu.addSeparator();
        ProgramActions::fillMenu(menu, engine_, library_, this);
    };

    buildAppMenu();

    edit_ = menuBar()->addMenu(QStringLiteral("Bearbeiten"));
    ClipboardActions::addNumberEntries(*edit_, engine_, this);
    connect(edit_, &QMenu::aboutToShow, this, &MainWindow::updateEditMenu);

    programs_ = menuBar()->addMenu(QStringLiteral("Programme"));
    // An outside edit of the library shows as soon as a menu opens, and the
    // entries that depend on the machine (program, tape) are made afresh.
    connect(programs_, &QMenu::aboutToShow, this, [this] {
        library_.checkForChanges();
        rebuildPrograms();
    });
    connect(appMenu_, &QMenu::aboutToShow, &library_, &UserPrograms::checkForChanges);
    connect(&library_, &UserPrograms::revisionChanged, this, &MainWindow::scheduleRebuild);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) library_.checkForChanges();
    });
    rebuildPrograms();

    connect(&zoom_, &ZoomSetting::changed, this, &MainWindow::fitToZoom);
    listener_ = engine_.addListener([this] { machineChanged(); });
    lastPower_ = engine_.power();
    lastModel_ = engine_.model();
    lastTapeEmpty_ = engine_.tape().empty();
    setWindowTitle(QString::fromStdString(title(engine_.model())));
    view_->setFactor(zoom_.factor());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

// The application's menu: about, model, size, key help, guide, quit.
void MainWindow::buildAppMenu() {
    appMenu_ = menuBar()->addMenu(QStringLiteral("Veltranix"));
    // The about item first, then the machine's own entries, as on the original's menu.
    connect(appMenu_->addAction(QStringLiteral("Über Veltranix")), &QAction::triggered, this,
            [this] { QMessageBox::about(this, QStringLiteral("Über Veltranix"), aboutText()); });
    QMenu* modelMenu = appMenu_->addMenu(QStringLiteral("Modell"));
    models_ = new QActionGroup(this);
    for (Model m : allModels) {
        QAction* a = modelMenu->addAction(QString::fromStdString(menuTitle(m)));
        a->setCheckable(true);
        a->setChecked(m == engine_.model());
        models_->addAction(a);
        connect(a, &QAction::triggered, this, [this, m] { chooseModel(static_cast<int>(m)); });
    }
    addSizeMenu();
    appMenu_->addSeparator();
    QAction* helpToggle = appMenu_->addAction(QStringLiteral("Tastenhilfe"));
    helpToggle->setCheckable(true);
    helpToggle->setChecked(help_.enabled());
    connect(helpToggle, &QAction::toggled, this, [this](bool on) { help_.setEnabled(on); });
    connect(&help_, &KeyHelp::changed, helpToggle,
            [this, helpToggle] { helpToggle->setChecked(help_.enabled()); });
    connect(appMenu_->addAction(QStringLiteral("Tastaturbelegung …")), &QAction::triggered, this,
            &MainWindow::showKeyMap);
    QAction* guide = appMenu_->addAction(QStringLiteral("Bedienungsanleitung"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guide, &QAction::triggered, this, &MainWindow::showGuide);
    appMenu_->addSeparator();
    QAction* quit = appMenu_->addAction(QStringLiteral("Beenden"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QApplication::quit);
}

void MainWindow::addSizeMenu() {
    QMenu* sizeMenu = appMenu_->addMenu(QStringLiteral("Größe"));
    auto* sizes = new QActionGroup(this);
    for (int p : ZoomSetting::choices()) {
        QAction* a = sizeMenu->addAction(QStringLiteral("%1 %").arg(p));
        a->setCheckable(true);
        a->setChecked(p == zoom_.percent());
        sizes->addAction(a);
        connect(a, &QAction::triggered, this, [this, p] { zoom_.setPercent(p); });
    }
}

void MainWindow::showKeyMap() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tastaturbelegung"),
                    QStringLiteral("Tastaturbelegung"), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(QStringLiteral("<pre>") + KeyboardMonitor::keyMapHelp().toHtmlEscaped() +
                           QStringLiteral("</pre>"));
    box.exec();
}

QString MainWindow::aboutText() {
    return QStringLiteral("<b>Veltranix</b> %1<br>Nachbildung der programmierbaren Tischrechner "
                          "Orbis 410 und 412 Numerist mit Papierstreifendrucker.<br><br>"
                          "Freie Software unter der GNU General Public License, Version 3 oder neuer "
                          "(GPL-3.0-or-later).")
        .arg(QStringLiteral(VX_VERSION));
}

void MainWindow::showGuide() {
    const auto path = GuideWindow::find(guidePlaces);
    if (!path) {
        Dialogs::tell(this, QMessageBox::Warning, QStringLiteral("Bedienungsanleitung"),
                      QStringLiteral("Die Bedienungsanleitung wurde nicht gefunden."),
                      QStringLiteral("Gesucht in:\n") + guidePlaces.join(QLatin1Char('\n')));
        return;
    }
    if (!guide_) guide_ = new GuideWindow(*path, this);
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}

MainWindow::~MainWindow() {
    engine_.removeListener(listener_);
}

void MainWindow::machineChanged() {
    // Called after every key; only a new model or a power change concern the window.
    if (engine_.model() != lastModel_) {
        lastModel_ = engine_.model();
        setWindowTitle(QString::fromStdString(title(lastModel_)));
        models_->actions()[static_cast<int>(lastModel_)]->setChecked(true);
    }
    // The tape's entries have shortcuts, which work only while enabled.
    if (engine_.power() != lastPower_ || engine_.tape().empty() != lastTapeEmpty_) {
        lastPower_ = engine_.power();
        lastTapeEmpty_ = engine_.tape().empty();
        scheduleRebuild();
    }
    updateEditMenu();
}

void MainWindow::updateEditMenu() {
    const QList<QAction*> entries = edit_->actions();
    entries[0]->setEnabled(Clipboard::showsNumber(engine_));
    entries[1]->setEnabled(engine_.power());
}

void MainWindow::scheduleRebuild() {
    // Rebuilt a moment later, never while one of the menu's own actions runs.
    if (rebuildPending_) return;
    rebuildPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (rebuildPending_) rebuildPrograms();
    });
}

void MainWindow::rebuildPrograms() {
    rebuildPending_ = false;
    programs_->clear();
    ProgramActions::fillMenu(*programs_, engine_, library_, this);
}

void MainWindow::chooseModel(int index) {
    const Model model = allModels[index];
    if (model == engine_.model()) return;
    if (!engine_.programSteps().empty() &&
        !Dialogs::confirm(
            this, QMessageBox::Question, QStringLiteral("Modell"),
            QStringLiteral("Auf %1 umschalten?").arg(QString::fromStdString(menuTitle(model))),
            QStringLiteral("Programmspeicher und Register werden gelöscht, wie beim Ausschalten."),
            QStringLiteral("Umschalten"))) {
        models_->actions()[static_cast<int>(engine_.model())]->setChecked(true);
        return;
    }
    engine_.select(model);
}

void MainWindow::fitToZoom() {
    const QPoint topLeft = pos();
    view_->setFactor(zoom_.factor());
    adjustSize();
    move(topLeft);
}

} // namespace vx
