// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Snapshot.h"

#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "panel/CalculatorView.h"
#include "panel/KeyHelp.h"
#include "storage/QtSettings.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace vx::Snapshot {

std::optional<QString> render(const QString& path, const QString& keys) {
    SimulatedClock clock;
    QtSettings settings;
    StdRandom random;
    Engine engine(clock, settings, random);
    for (QChar c : keys) {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') {
            engine.press(Key::digit(u - '0'));
            continue;
        }
        switch (u) {
        case '.': engine.press(KeyKind::dot); break;
        case '+': engine.press(KeyKind::plus); break;
        case '-': engine.press(KeyKind::minus); break;
        case '*': engine.press(KeyKind::times); break;
        case '/': engine.press(KeyKind::divide); break;
        case '(': engine.press(KeyKind::lparen); break;
        case ')': engine.press(KeyKind::rparen); break;
        case '=': engine.press(KeyKind::equals); break;
        case 'S': engine.press(KeyKind::sqrt); break;
        case 'P': engine.press(KeyKind::printKey); break;
        case 'f': engine.press(KeyKind::f); break;
        case 'L': engine.setMode(Mode::load); break;
        case 'R': engine.setMode(Mode::run); break;
        default: break; // blanks and anything else
        }
    }

    KeyHelp help(false);
    CalculatorView view(engine, help);
    view.setFactor(1.0);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.ensurePolished();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return QStringLiteral("kein Bild im Speicher");
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        view.render(&painter);
    }
    QImageWriter writer(path, "png");
    if (!writer.write(image)) return writer.errorString();
    return std::nullopt;
}

} // namespace vx::Snapshot
