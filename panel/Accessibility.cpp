// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Accessibility.h"

#include "display/Formatter.h"
#include "engine/Engine.h"
#include "panel/CalculatorView.h"
#include "panel/Controls.h"
#include "panel/DisplayPanel.h"
#include "panel/KeyboardMonitor.h"
#include "panel/Layout.h"
#include "panel/TapeExport.h"
#include "panel/TapeView.h"

#include <QAccessibleWidget>

namespace vx::Accessibility {

void announce(QAccessibleEvent& event) {
    for (QObject* o = event.object(); o; o = o->parent())
        if (auto* view = qobject_cast<CalculatorView*>(o)) {
            emit view->announced(event.object(), event.type());
            break;
        }
    QAccessible::updateAccessibility(&event);
}

QString inkAttribute(bool red) {
    const QColor ink = red ? TapeGeometry::inkRed : TapeGeometry::inkBlack;
    return QStringLiteral("color:rgb(%1,%2,%3);").arg(ink.red()).arg(ink.green()).arg(ink.blue());
}

QString displayText(const Shown& shown) {
    using K = Shown::Kind;
    switch (shown.kind) {
    case K::off: return {};
    case K::running: return QStringLiteral("Programm läuft");
    case K::error: return QStringLiteral("Fehler");
    case K::step: {
        const QString code = QString::fromStdString(shown.code).simplified();
        return QStringLiteral("Schritt %1: %2")
            .arg(QString::fromStdString(Codes::decimal(shown.step)))
            .arg(code.isEmpty() ? QStringLiteral("leer") : code);
    }
    case K::temporary:
    case K::number: break;
    }
    // The open parentheses are counted in the first cell; said after the number.
    std::vector<Cell> cells = shown.cells;
    QString parens;
    if (shown.openParens > 0 && !cells.empty()) {
        cells[0].ch = ' ';
        parens = QStringLiteral(" (%1 Klammern offen)").arg(shown.openParens);
    }
    const QStringList words =
        QString::fromStdString(Formatter::text(cells)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // Mantissa and exponent stand apart on the display: "6.6666 -01". A
    // moment's display (a step and its code) is said as it stands.
    const QString number = words.size() == 2 && shown.kind == Shown::Kind::number
                               ? words[0] + QStringLiteral(" E") + words[1]
                               : words.join(QLatin1Char(' '));
    return number + parens;
}

namespace {

// A text that is only read, never edited or selected.
class ReadOnlyText : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    using QAccessibleWidget::QAccessibleWidget;
    virtual QString content() const = 0;

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return content();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return content().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(content().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }
};

// QAccessibleWidget is its own action interface; the key gives it "press".
class KeyAccessible : public QAccessibleWidget {
  public:
    explicit KeyAccessible(KeyButton* key) : QAccessibleWidget(key, QAccessible::Button) {}
    KeyButton* key() const { return static_cast<KeyButton*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Description) return QAccessibleWidget::text(t);
        // Which host key presses it, and what f and the key do.
        const Key k = key()->key();
        const QString host = KeyboardMonitor::hostKeys(k);
        QString out = host.isEmpty() ? QStringLiteral("Auf der Tastatur: keine Taste.")
                                     : QStringLiteral("Auf der Tastatur: %1.").arg(host);
        QString shifted = Layout::printedShiftLegend(k);
        if (shifted.isEmpty()) shifted = Layout::fHelp(k).value_or(QString());
        if (!shifted.isEmpty()) out += QStringLiteral(" Mit f: %1.").arg(shifted);
        return out;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (key()->key().kind == KeyKind::f) {
            s.checkable = true;
            s.checked = key()->highlighted();
            s.pressed = key()->highlighted();
        }
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QString localizedActionName(const QString& name) const override {
        return name == pressAction() ? QStringLiteral("Drücken") : QString();
    }
    void doAction(const QString& name) override {
        // Exactly what a click does, with every gate of the machine.
        if (name == pressAction()) key()->activate();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

class SwitchAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit SwitchAccessible(SlideSwitch* s) : QAccessibleWidget(s, QAccessible::Slider) {}
    SlideSwitch* slide() const { return static_cast<SlideSwitch*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return slide()->positionNames.value(slide()->index());
        if (t == QAccessible::Description)
            return QStringLiteral("Stellungen: %1.").arg(slide()->positionNames.join(QStringLiteral(", ")));
        return QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        const auto i = slide()->positionNames.indexOf(text);
        if (t == QAccessible::Value && i >= 0) setCurrentValue(static_cast<int>(i));
    }
    QVariant currentValue() const override { return slide()->index(); }
    void setCurrentValue(const QVariant& value) override {
        // What a click on that position does.
        const int i = value.toInt();
        if (i >= 0 && i < slide()->positions()) slide()->choose(i);
    }
    QVariant maximumValue() const override { return slide()->positions() - 1; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

class DisplayAccessible : public ReadOnlyText {
  public:
    explicit DisplayAccessible(DisplayPanel* panel) : ReadOnlyText(panel, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QStringLiteral("Anzeige");
        return ReadOnlyText::text(t);
    }
    QString content() const override {
        return displayText(static_cast<DisplayPanel*>(widget())->engine().shown());
    }
};

class TapeAccessible : public ReadOnlyText {
  public:
    explicit TapeAccessible(TapePaper* paper) : ReadOnlyText(paper, QAccessible::EditableText) {}
    const Tape& tape() const { return static_cast<TapePaper*>(widget())->engine().tape(); }
    QString content() const override { return TapeExport::text(tape()); }
    QAccessible::State state() const override {
        QAccessible::State s = ReadOnlyText::state();
        s.multiLine = true;
        return s;
    }
    // Each line carries the colour of its ink.
    QString attributes(int offset, int* start, int* end) const override {
        int at = 0;
        for (const TapeLine& line : tape()) {
            const int length = static_cast<int>(QString::fromStdString(line.printed()).size()) + 1;
            if (offset < at + length) {
                *start = at;
                *end = at + length;
                // What hovering the line shows: the step that printed it.
                const QString by = TapePaper::printedBy(line);
                return inkAttribute(line.red) +
                       (by.isEmpty() ? QString() : QStringLiteral("description:%1;").arg(by));
            }
            at += length;
        }
        *start = *end = offset;
        return {};
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* key = qobject_cast<KeyButton*>(object)) return new KeyAccessible(key);
    if (auto* slide = qobject_cast<SlideSwitch*>(object)) return new SwitchAccessible(slide);
    if (auto* display = qobject_cast<DisplayPanel*>(object)) return new DisplayAccessible(display);
    if (auto* paper = qobject_cast<TapePaper*>(object)) return new TapeAccessible(paper);
    return nullptr;
}

} // namespace

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

} // namespace vx::Accessibility
