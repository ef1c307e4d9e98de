// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Layout.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <set>

using namespace vx;

TEST(Layout, EveryKeyOnceInsideThePicture) {
    const auto& keys = Layout::keys();
    ASSERT_EQ(keys.size(), 49u);
    std::set<int> seen;
    const QRectF picture(QPointF(0, 0), Layout::imageSize);
    for (const auto& [key, rect] : keys) {
        EXPECT_TRUE(seen.insert(keyIndex(key)).second);
        EXPECT_TRUE(picture.contains(rect)) << keyName(key);
        for (const auto& [other, otherRect] : keys)
            if (!(other == key)) {
                EXPECT_FALSE(rect.intersects(otherRect)) << keyName(key) << " " << keyName(other);
            }
    }
    EXPECT_EQ(seen.size(), 49u);
    EXPECT_EQ(Layout::r(10, 20, 110, 60), QRectF(10, 20, 100, 40));
}

TEST(Layout, HelpLabelsSitBelowOrInsideTheKeys) {
    EXPECT_EQ(Layout::helpRect(Key::digit(7), Layout::keyRect(Key::digit(7))), QRectF(482, 331, 109, 27));
    EXPECT_EQ(Layout::helpRect(KeyKind::exp, Layout::keyRect(KeyKind::exp)), QRectF(323, 482.52, 94, 24.48));
    const QRectF sigma = Layout::helpRect(KeyKind::sigma, Layout::keyRect(KeyKind::sigma));
    EXPECT_DOUBLE_EQ(sigma.height(), 25.2);
    EXPECT_DOUBLE_EQ(sigma.top(), 299.8);
    EXPECT_EQ(Layout::helpRect(Key::digit(0), Layout::keyRect(Key::digit(0))), QRectF(482, 696, 109, 27));
    EXPECT_EQ(Layout::fHelp(Key::digit(0)), QStringLiteral("CLEAR R1-3"));
    EXPECT_EQ(Layout::fHelp(KeyKind::chs), QStringLiteral("SELFTEST"));
    EXPECT_EQ(Layout::fHelp(KeyKind::sigma), QStringLiteral("-SIGMA"));
    EXPECT_EQ(Layout::fHelp(KeyKind::clear), QStringLiteral("CLEAR ALL"));
    EXPECT_FALSE(Layout::fHelp(KeyKind::sin));
    EXPECT_FALSE(Layout::fHelp(KeyKind::plus));
}

TEST(Layout, HelpColoursAreTheMedianAndAnyResolutionSamplesTheSamePlaces) {
    // A dark picture with one light band exactly where the "7" label lies.
    auto picture = [](double scale) {
        QImage image((Layout::imageSize * scale).toSize(), QImage::Format_ARGB32);
        image.fill(QColor(40, 40, 40));
        QPainter p(&image);
        p.scale(scale, scale);
        p.fillRect(Layout::helpRect(Key::digit(7), Layout::keyRect(Key::digit(7))), QColor(230, 220, 200));
        return image;
    };
    for (double scale : {1.0, 2.0}) {
        const auto colors = Layout::sampleHelpColors(picture(scale));
        const auto& seven = colors[static_cast<std::size_t>(keyIndex(Key::digit(7)))];
        ASSERT_TRUE(seven) << scale;
        EXPECT_EQ(seven->background, QColor(230, 220, 200));
        EXPECT_LT(seven->ink.lightnessF(), 0.2); // dark ink on a light label
        const auto& eight = colors[static_cast<std::size_t>(keyIndex(Key::digit(8)))];
        ASSERT_TRUE(eight);
        EXPECT_EQ(eight->background, QColor(40, 40, 40));
        EXPECT_EQ(eight->ink, QColor::fromRgbF(1.0f, 0.84f, 0.3f)); // amber on dark
        EXPECT_FALSE(colors[static_cast<std::size_t>(keyIndex(KeyKind::sin))]);
    }
    const auto none = Layout::sampleHelpColors(QImage());
    EXPECT_TRUE(std::all_of(none.begin(), none.end(), [](const auto& c) { return !c.has_value(); }));
}
