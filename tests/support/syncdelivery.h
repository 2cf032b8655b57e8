// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <cstdio>
#include <gtest/gtest.h>

// As a sync tool delivers a file of a folder: written beside the old one, then renamed over it.
inline void deliverAsSyncTool(const QString& from, const QString& to, const QString& name) {
    const QString temporary = to + QStringLiteral("/.syncthing.") + name + ".tmp";
    QFile::remove(temporary);
    ASSERT_TRUE(QFile::copy(from + u'/' + name, temporary));
    ASSERT_EQ(std::rename(QFile::encodeName(temporary).constData(),
                          QFile::encodeName(to + u'/' + name).constData()),
              0);
}
