// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/documentfile.h"
#include "core/richtext/rtfreader.h"
#include "core/richtext/rtfwriter.h"
#include "documentfacts.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

const QString fixtureDir = QStringLiteral(VERBANTA_FIXTURES "/rtf");

bool haveFixtures() {
    return QDir(fixtureDir).exists();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The expected texts put a list label ("    • ") in front of bulleted paragraphs; the label is
// not document text.
QString withoutListLabels(QString text) {
    static const QRegularExpression label(QStringLiteral("^    \u2022 "),
                                          QRegularExpression::MultilineOption);
    return text.remove(label);
}

QStringList fixtureNames() {
    QStringList names;
    for (const QString& json : QDir(fixtureDir).entryList({"*.json"}, QDir::Files, QDir::Name))
        names.append(json.chopped(5));
    return names;
}

QString inputPath(const QString& name) {
    const QString rtf = fixtureDir + '/' + name + ".rtf";
    return QFile::exists(rtf) ? rtf : fixtureDir + '/' + name + ".txt";
}

} // namespace

TEST(RtfFixtures, EveryFixtureIsPresent) {
    if (!haveFixtures())
        GTEST_SKIP() << "the shared fixtures were not found (set VERBANTA_FIXTURES)";
    EXPECT_GE(fixtureNames().size(), 18);
}

// Every fixture loads to its expected text and facts, and keeps both through save and load.
TEST(RtfFixtures, LoadAndRoundTripKeepTextAndFacts) {
    if (!haveFixtures())
        GTEST_SKIP() << "the shared fixtures were not found (set VERBANTA_FIXTURES)";
    for (const QString& name : fixtureNames()) {
        SCOPED_TRACE(name.toStdString());
        const QJsonObject sidecar =
            QJsonDocument::fromJson(readFile(fixtureDir + '/' + name + ".json")).object();
        const QString expected = withoutListLabels(
            QString::fromUtf8(readFile(fixtureDir + '/' + name + ".expected.txt")));

        QTextDocument loaded;
        QString error;
        EXPECT_EQ(richtext::loadDocument(inputPath(name), &loaded, &error),
                  richtext::LoadOutcome::Loaded)
            << error.toStdString();
        EXPECT_EQ(documentfacts::expectedStyleText(loaded), expected);
        EXPECT_EQ(documentfacts::violations(loaded, sidecar), QStringList());

        const QByteArray saved = richtext::writeRtf(loaded);
        QTextDocument reloaded;
        richtext::RtfReader reader;
        EXPECT_TRUE(reader.read(saved, &reloaded)) << reader.errorString().toStdString();
        EXPECT_EQ(documentfacts::expectedStyleText(reloaded), expected);
        EXPECT_EQ(documentfacts::violations(reloaded, sidecar), QStringList());
        // Saving what was read back writes the same bytes: nothing drifts on every save.
        EXPECT_EQ(richtext::writeRtf(reloaded), saved);
    }
}
