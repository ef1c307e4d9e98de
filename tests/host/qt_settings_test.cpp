// SPDX-License-Identifier: GPL-3.0-or-later
// The remembered values as QSettings keeps them between runs, and what each
// reader makes of a value it cannot use.
#include "app/ZoomSetting.h"
#include "engine/Types.h"
#include "host/QtSettings.h"
#include "panel/KeyHelp.h"
#include "storage/ShellSettings.h"

#include <QPoint>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vx;
using namespace Qt::StringLiterals;

namespace {
// A settings file of the test's own.
class QtSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    }
    QTemporaryDir config;
};
} // namespace

TEST_F(QtSettingsTest, ValuesComeBackAndAnUnreadableOneIsNone) {
    QtSettings settings;
    EXPECT_EQ(settings.text("nie"), std::nullopt);
    settings.setText("text", "Größe");
    settings.setInteger("zahl", -7);
    settings.setBoolean("schalter", false);
    QtSettings again;
    EXPECT_EQ(again.text("text"), "Größe");
    EXPECT_EQ(again.integer("zahl"), -7);
    EXPECT_EQ(again.boolean("schalter"), false);
    // Edited by hand in the settings file: text that is no number or Boolean.
    QSettings().setValue(u"zahl"_s, u"sieben"_s);
    QSettings().setValue(u"schalter"_s, u" TRUE "_s);
    EXPECT_EQ(again.integer("zahl"), std::nullopt);
    EXPECT_EQ(again.boolean("schalter"), true);
    settings.setText("schalter", "vielleicht");
    EXPECT_EQ(again.boolean("schalter"), std::nullopt);
}

TEST_F(QtSettingsTest, EveryRememberedChoiceAndItsFallback) {
    QtSettings settings;
    ShellSettings shell(settings);
    // Nothing stored yet: the first start's choices.
    EXPECT_EQ(ZoomSetting(shell).percent(), 150);
    EXPECT_TRUE(KeyHelp(shell).enabled());
    EXPECT_EQ(shell.tempo(), Tempo::original);
    EXPECT_FALSE(shell.keepMachine());
    EXPECT_EQ(shell.windowGeometry(), "");
    EXPECT_EQ(shell.oldWindowPosition(), std::nullopt);
    for (auto [stored, expected] : {std::pair{70, 70}, {50, 50}, {75, 150}, {200, 150}, {0, 150}}) {
        settings.setInteger("zoomPercent", stored);
        EXPECT_EQ(ZoomSetting(shell).percent(), expected) << stored;
    }
    settings.setBoolean("showKeyHelp", false);
    EXPECT_FALSE(KeyHelp(shell).enabled());
    settings.setText("showKeyHelp", "vielleicht");
    EXPECT_TRUE(KeyHelp(shell).enabled());
    // Written as earlier versions wrote them, read back the same.
    shell.setTempo(Tempo::fast);
    EXPECT_EQ(QSettings().value(u"tempo"_s).toString(), u"fast"_s);
    EXPECT_EQ(shell.tempo(), Tempo::fast);
    QSettings().setValue(u"tempo"_s, u"zügig"_s);
    EXPECT_EQ(shell.tempo(), Tempo::original);
    shell.setKeepMachine(true);
    EXPECT_EQ(QSettings().value(u"keepMachine"_s), QVariant(true));
    const std::string geometry("\x01\xd9\xd0\xcb\x00\x03", 6);
    shell.setWindowGeometry(geometry);
    EXPECT_EQ(QSettings().value(u"windowGeometry"_s).toByteArray(), QByteArray::fromStdString(geometry));
    EXPECT_EQ(shell.windowGeometry(), geometry);
    QSettings().setValue(u"windowPosition"_s, QPoint(40, -12));
    EXPECT_EQ(shell.oldWindowPosition(), (std::pair{40, -12}));
    settings.setText("model", "412");
    EXPECT_EQ(savedModel(settings), Model::orbis412);
    settings.setText("model", "411");
    EXPECT_EQ(savedModel(settings), Model::orbis410);
}
