// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/rtfreader.h"
#include "core/wordprocessor/documentkind.h"
#include "editor/editor_fixture.h"
#include "platform/documentconverter.h"
#include "projects/originalimport.h"
#include "richtext/documentfacts.h"
#include "support/officetool.h"
#include "support/widgets.h"
#include "translator/documentimport.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>

namespace {

const QString fixtureDir = QStringLiteral(VERBANTA_FIXTURES "/rtf");

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The pane's text as LibreOffice's text export gives it: one line per paragraph, a bulleted one
// with its label.
QString asTextExport(const QTextDocument& document) {
    QString text;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        text += (richtext::hasBullet(b) ? QStringLiteral("    \u2022 ") : QString()) +
                b.text().replace(QChar::LineSeparator, u'\n') + u'\n';
    return text;
}

QString textExportOf(const QString& document, const QString& folder) {
    QString text = QString::fromUtf8(readAll(officeConvert(
        document, QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("txt"), folder)));
    text.remove(QChar(0xFEFF));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.endsWith(u'\n') ? text : text + u'\n';
}

// Live processes whose command line names the text (a run's temporary folder).
int processesNaming(const QString& text) {
    int found = 0;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        QFile cmdline(it.next() + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(text.toUtf8()))
            ++found;
    }
    return found;
}

// Puts environment variables in place for one test and restores them after it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// The editor, a folder for made documents, and a per-user cache of the test's own.
class DocumentsTest : public EditorTest {
protected:
    QTemporaryDir work;
    ScopedEnv cacheHome{"XDG_CACHE_HOME", QByteArray()};

    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        qputenv("XDG_CACHE_HOME", work.filePath(QStringLiteral("cache")).toUtf8());
        EditorTest::SetUp();
        start();
    }

    // The fixture made into a word-processor document of the given suffix by LibreOffice.
    QString made(const QString& fixture, const QString& suffix) {
        QFile::copy(fixtureDir + u'/' + fixture + QStringLiteral(".rtf"),
                    work.filePath(fixture + QStringLiteral(".rtf")));
        return officeConvert(work.filePath(fixture + QStringLiteral(".rtf")), suffix, suffix,
                             work.path());
    }

    documentimport::Read load(const QString& path, QString* error = nullptr) {
        return documentimport::loadDocument(form()->Rtxt1, path, error);
    }
};

TEST_F(DocumentsTest, TheTextLoadedIsLibreOfficesOwnTextExport) {
    // Japanese, symbols beyond the code page, bullets, tab-separated columns, each kind of file.
    const struct {
        const char* fixture;
        const char* suffix;
    } cases[] = {{"lo-plain-japanese", "docx"},
                 {"lo-non-cp932", "docx"},
                 {"lo-bullets", "odt"},
                 {"lo-tabs", "doc"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const QString document = made(QLatin1String(c.fixture), QLatin1String(c.suffix));
        QString error;
        ASSERT_EQ(load(document, &error), documentimport::Read::Loaded) << error.toStdString();
        EXPECT_EQ(asTextExport(*form()->Rtxt1->document()).toStdString(),
                  textExportOf(document, work.path()).toStdString());
    }
}

TEST_F(DocumentsTest, AOneMegabyteDocumentLoadsWhole) {
    // Many copies of the Japanese fixture's body make a document of about 1 MB.
    QByteArray rtf = readAll(fixtureDir + QStringLiteral("/lo-plain-japanese.rtf"));
    const qsizetype close = rtf.lastIndexOf('}');
    const qsizetype bodyStart = rtf.indexOf("\\pard");
    const QByteArray body = rtf.mid(bodyStart, close - bodyStart) + "\\par\n";
    QByteArray big = rtf.left(bodyStart);
    while (big.size() < 1024 * 1024)
        big += body;
    big += '}';
    QFile out(work.filePath(QStringLiteral("big.rtf")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(big);
    out.close();
    const QString document =
        officeConvert(out.fileName(), QStringLiteral("docx"), QStringLiteral("docx"), work.path());
    ASSERT_EQ(load(document), documentimport::Read::Loaded);
    EXPECT_EQ(asTextExport(*form()->Rtxt1->document()), textExportOf(document, work.path()));
}

TEST_F(DocumentsTest, HeadersFootersAndCommentsFollowTheBodyUnderHeadings) {
    const QString document = made(QStringLiteral("lo-destinations"), QStringLiteral("docx"));
    ASSERT_EQ(load(document), documentimport::Read::Loaded);
    const QString text = asTextExport(*form()->Rtxt1->document());
    const QString body = textExportOf(document, work.path());
    ASSERT_TRUE(text.startsWith(body)) << text.toStdString();
    // A blank line, then each kind under its heading; the header a page style and its section
    // both carry is shown once.
    EXPECT_EQ(text.mid(body.size()).toStdString(),
              "\n【ヘッダー】\nヘッダーの文字\n【フッター】\nフッターの文字\n【コメント】\n"
              "これは注釈の文章です\n");
}

TEST_F(DocumentsTest, MarkedFormattingSurvives) {
    for (const char* fixture : {"lo-char-styles", "lo-colours", "lo-fonts-sizes"}) {
        SCOPED_TRACE(fixture);
        const QString document = made(QLatin1String(fixture), QStringLiteral("docx"));
        ASSERT_EQ(load(document), documentimport::Read::Loaded);
        QJsonObject sidecar =
            QJsonDocument::fromJson(
                readAll(fixtureDir + u'/' + QLatin1String(fixture) + QStringLiteral(".json")))
                .object();
        EXPECT_EQ(documentfacts::violations(*form()->Rtxt1->document(), sidecar), QStringList());
    }
}

} // namespace
