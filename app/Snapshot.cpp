// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Snapshot.h"

#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "host/QtSettings.h"
#include "panel/CalculatorView.h"
#include "panel/KeyHelp.h"
#include "panel/ViewFeed.h"
#include "storage/SafeFile.h"
#include "storage/UserFiles.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace vx::Snapshot {
namespace {

// The letters only a snapshot's key string knows: S the square root, P PRINT,
// f the f key. (L and R there set the mode switch.)
std::optional<Key> snapshotLetter(char32_t c) {
    switch (c) {
    case 'S': return Key(KeyKind::sqrt);
    case 'P': return Key(KeyKind::printKey);
    case 'f': return Key(KeyKind::f);
    default: return std::nullopt;
    }
}

} // namespace

std::optional<QString> render(const std::string& path, const QString& keys) {
    // Checked before anything is drawn; the picture must not replace the
    // settings it was drawn with, nor a library.
    const SafeFile::Target target = SafeFile::target(path, userFiles());
    if (target.refused) return target.refused;
    SimulatedClock clock;
    QtSettings settings;
    StdRandom random;
    Engine engine(clock, settings, random);
    for (QChar c : keys) {
        const char16_t u = c.unicode();
        std::optional<Key> key = keyForCharacter(u);
        if (!key) key = snapshotLetter(u);
        if (key)
            engine.press(*key);
        else if (u == 'L')
            engine.setMode(Mode::load);
        else if (u == 'R')
            engine.setMode(Mode::run);
        // Blanks and anything else are ignored.
    }

    KeyHelp help(false);
    ViewFeed feed(engine, clock);
    CalculatorView view(engine, help, feed);
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
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    if (!writer.write(image)) return QStringLiteral("das Bild lässt sich nicht als PNG kodieren");
    return SafeFile::write(target.path, png.data());
}

} // namespace vx::Snapshot
