// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the Qt test programs: the off-screen platform, and data,
// settings and runtime folders of their own, never the user's.
#include "storage/AppIdentity.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    setenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8().constData(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().toUtf8().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    vx::setAppIdentity();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
