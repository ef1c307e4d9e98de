// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

#include <cstdlib>

namespace vx::test {

void AppTest::SetUp() {
    home_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(home_->isValid());
    setenv("XDG_DATA_HOME", dataHome().toUtf8().constData(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_->path() + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home_->path() + "/config");
    engine = std::make_unique<Engine>(clock, settings, random);
    QObject::connect(&watchdog_, &QTimer::timeout, [this] { watch(); });
    watchdog_.start(20);
}

void AppTest::TearDown() {
    watchdog_.stop();
    EXPECT_TRUE(handlers_.empty()) << "a dialog the test waited for never opened";
}

void AppTest::watch() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    if (handlers_.empty()) {
        ADD_FAILURE() << "unexpected dialog: " << dialogText(*dialog).toStdString();
        dialog->reject();
        return;
    }
    auto handler = std::move(handlers_.front());
    handlers_.pop_front();
    handler(*dialog);
    if (dialog->isVisible()) {
        ADD_FAILURE() << "the dialog was left open";
        dialog->reject();
    }
}

QAction* AppTest::entry(QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
        if (a->text() == text) return a;
    ADD_FAILURE() << "no menu entry " << text.toStdString();
    return missing_.menuAction();
}

QMenu* AppTest::submenu(QMenu& menu, const QString& text) {
    QMenu* inner = entry(menu, text)->menu();
    return inner ? inner : &missing_;
}

void AppTest::expectMessage(const QStringList& says, const QString& button) {
    expectDialog([says, button](QDialog& d) {
        for (const QString& text : says)
            EXPECT_TRUE(dialogText(d).contains(text)) << dialogText(d).toStdString();
        if (button.isEmpty())
            d.accept();
        else
            clickButton(d, button);
    });
}

void AppTest::expectName(const QString& name) {
    expectDialog([name](QDialog& d) {
        d.findChild<QLineEdit*>()->setText(name);
        clickButton(d, QStringLiteral("Speichern"));
    });
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(text);
}

std::string listed(UserPrograms& library) {
    std::string out;
    for (const SavedProgram& p : library.programs())
        out += (out.empty() ? "" : "|") + std::to_string(p.number) + " " + p.name;
    return out;
}

QString texts(const QMenu& menu) {
    QStringList entries;
    for (QAction* a : menu.actions())
        entries << a->text() +
                       (a->shortcut().isEmpty() ? QString() : QLatin1Char('\t') + a->shortcut().toString());
    return entries.join(QLatin1Char('|'));
}

QString dialogText(QWidget& dialog) {
    QStringList parts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty()) parts << label->text();
    return parts.join(QLatin1Char('\n'));
}

void clickButton(QWidget& dialog, const QString& text) {
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->text().remove(QLatin1Char('&')) == text) {
            b->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString() << " in " << dialogText(dialog).toStdString();
}

} // namespace vx::test
