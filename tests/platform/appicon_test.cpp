// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/appicon.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(AppIcon, EveryWindowShowsTheProgramsIconInTheDrawnSizes) {
    const QIcon icon = applicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    EXPECT_EQ(icon.pixmap(QSize(48, 48)).size(), QSize(48, 48));

    installApplicationIcon();
    QWidget window;
    EXPECT_EQ(window.windowIcon().availableSizes(), sizes);
    // The name of the installed desktop entry, without ".desktop".
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.verbanta.Verbanta"));
}

} // namespace
