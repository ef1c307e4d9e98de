// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/KeyboardMonitor.h"

#include "engine/Engine.h"
#include "panel/KeyHelp.h"
#include "panel/PanelKeys.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace vx {

KeyboardMonitor::KeyboardMonitor(Engine& engine, KeyHelp& help, QObject* parent)
    : QObject(parent), engine_(engine), help_(help) {}

void KeyboardMonitor::watch(QGuiApplication& app) {
    app.installEventFilter(this);
    connect(&app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) help_.setOptionDown(false);
    });
}

std::optional<Key> KeyboardMonitor::keyFor(const QKeyEvent& e) {
    // Ctrl stands for the Command key: its combinations belong to the menus.
    if (e.modifiers() & Qt::ControlModifier) return std::nullopt;
    const bool shift = (e.modifiers() & Qt::ShiftModifier) != 0;
    for (const PanelKey& k : panelKeys)
        for (const NamedKey& named : k.named)
            if (named.qtKey != 0 && named.qtKey == e.key() &&
                (named.shift == NamedKey::Shift::either || (named.shift == NamedKey::Shift::with) == shift))
                return k.key;
    const QString text = e.text();
    if (text.isEmpty()) return std::nullopt;
    const QChar c = text.front();
    if (const auto key = keyForCharacter(c.unicode())) return key;
    // The host keyboard's own: the German decimal comma and division colon,
    // and a letter for each key with a long name.
    for (const PanelKey& k : panelKeys)
        if (k.hostLetter && c == QLatin1Char(k.hostLetter)) return k.key;
    return std::nullopt;
}

bool KeyboardMonitor::ownsKeys(const QObject* receiver) const {
    // The window the key was typed into, not the one the toolkit last made active.
    const QWidget* window = nullptr;
    if (const auto* widget = qobject_cast<const QWidget*>(receiver))
        window = widget->window();
    else
        for (const QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == receiver) window = top;
    if (!machineTakes_) return false;
    const QWidget* focus = QApplication::focusWidget();
    return !window || !machineTakes_(window, focus && focus->window() == window ? focus : nullptr);
}

bool KeyboardMonitor::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // Where an input method composes keys, a "^" arrives as committed text
    // at the focus; the window's keys never show it.
    if (type == QEvent::InputMethod && watched == QGuiApplication::focusObject() && !ownsKeys(watched) &&
        !QApplication::activeModalWidget() && !QApplication::activePopupWidget()) {
        const QString committed = static_cast<QInputMethodEvent*>(event)->commitString();
        if (committed == QStringLiteral("^")) {
            engine_.press(Key(KeyKind::power));
            return true;
        }
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    // A window that is not the machine's (the guide) or edits text (the
    // program sheet's editor) keeps its keys.
    // A key event reaches the window first and then each widget up the parent
    // chain; only the window's copy counts, so every press acts exactly once.
    if (!watched->isWindowType() || ownsKeys(watched)) return false;
    auto* e = static_cast<QKeyEvent*>(event);
    help_.setOptionDown(e->key() == Qt::Key_Alt ? type == QEvent::KeyPress
                                                : (e->modifiers() & Qt::AltModifier) != 0);
    if (type != QEvent::KeyPress) return false;
    // While a dialog is open the keys are the dialog's; its text field knows
    // the standard editing shortcuts by itself.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    // On German keyboards "^" is a dead key: it sends no text and waits for
    // the next key to complete it. The calculator has no text to compose, so
    // the dead key is aˣ at once, and the key completing it is part of it.
    const bool completing = circumflexPending_ && !(e->modifiers() & Qt::ControlModifier) &&
                            (e->key() == Qt::Key_Space || e->key() == Qt::Key_Dead_Circumflex);
    circumflexPending_ = false;
    if (completing) return true;
    if (e->key() == Qt::Key_Dead_Circumflex) {
        circumflexPending_ = true;
        engine_.press(Key(KeyKind::power));
        return true;
    }
    const auto key = keyFor(*e);
    if (!key) return false;
    engine_.press(*key);
    emit pressed(*key);
    return true;
}

QString KeyboardMonitor::hostKeys(Key key) {
    return QString::fromUtf8(panelKey(key).hostKeys);
}

QString KeyboardMonitor::keyMapHelp() {
    QStringList out;
    for (const KeyMapLine& line : keyMapLines)
        out << QString::fromUtf8(line.hosts).leftJustified(15, QLatin1Char(' ')) +
                   QString::fromUtf8(line.meaning);
    return out.join(QLatin1Char('\n'));
}

} // namespace vx
