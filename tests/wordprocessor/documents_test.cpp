// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "core/richtext/paragraphstyle.h"
#include "core/richtext/rtfreader.h"
#include "core/wordprocessor/conversioncache.h"
#include "core/wordprocessor/documentkind.h"
#include "core/wordprocessor/documentsettings.h"
#include "editor/editor_fixture.h"
#include "platform/documentconverter.h"
#include "projects/frmnewplanwizard.h"
#include "projects/originalimport.h"
#include "projects/translationexport.h"
#include "richtext/documentfacts.h"
#include "support/officetool.h"
#include "support/widgets.h"
#include "translator/documentimport.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

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
    start();
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
    start();
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

TEST_F(DocumentsTest, ATableLoadsAsOneTabSeparatedParagraphPerRow) {
    start();
    // Two rows of three cells, Japanese and ASCII, one of them empty, between two paragraphs.
    const QByteArray row = "\\trowd\\cellx2000\\cellx4000\\cellx6000\n";
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                           "MS Mincho;}}\n\\pard before\\par\n" +
                           row +
                           "\\pard\\intbl \\u26085?\\u26412?\\cell abc\\cell "
                           "\\u35486?\\cell\\row\n" +
                           row +
                           "\\pard\\intbl x1\\cell\\cell \\u12354?\\u12356?\\cell\\row\n"
                           "\\pard after\\par\n}";
    QFile out(work.filePath(QStringLiteral("table.rtf")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(rtf);
    out.close();
    const QString document =
        officeConvert(out.fileName(), QStringLiteral("docx"), QStringLiteral("docx"), work.path());
    QString error;
    ASSERT_EQ(load(document, &error), documentimport::Read::Loaded) << error.toStdString();
    QStringList rows;
    for (QTextBlock b = form()->Rtxt1->document()->begin(); b.isValid(); b = b.next())
        rows << b.text();
    EXPECT_EQ(rows.join(u'\n').toStdString(), "before\n日本\tabc\t語\nx1\t\tあい\nafter");
}

TEST_F(DocumentsTest, HeadersFootersAndCommentsFollowTheBodyUnderHeadings) {
    start();
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
    start();
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

TEST_F(DocumentsTest, UnreadableDocumentsAreExplainedAndKeepThePane) {
    start();
    OriginalImport import(*editor);
    QDir(work.path()).mkdir(QStringLiteral("folder.docx"));
    const auto write = [this](const QString& name, const QByteArray& bytes) {
        QFile f(work.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    QByteArray encrypted("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    encrypted +=
        QByteArray(512, '\0') + QByteArray("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    const struct {
        QString path;
        QString cause;
    } cases[] = {
        {write(QStringLiteral("damaged.docx"), QByteArray("PK\x03\x04", 4) + QByteArray(4000, 'x')),
         QStringLiteral("文書を変換できませんでした。")},
        {write(QStringLiteral("empty.docx"), {}), QStringLiteral("ﾌｧｲﾙが空です（0 ﾊﾞｲﾄ）。")},
        {write(QStringLiteral("text.odt"), "plain text, not a document"),
         QStringLiteral("ﾌｧｲﾙの中身が OpenDocument 文書ではありません")},
        {write(QStringLiteral("locked.docx"), encrypted),
         QStringLiteral("ﾊﾟｽﾜｰﾄﾞで保護された文書は読み込めません。")},
        {work.filePath(QStringLiteral("folder.docx")), QStringLiteral("ﾌｫﾙﾀﾞです。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        form()->Rtxt1->setPlainText(QStringLiteral("my work"));
        dialogs.expectMessage(Answer::Yes).expectOpenFile(c.path).expectMessage(Answer::Ok);
        form()->mnuGetOrgFile->trigger();
        EXPECT_TRUE(dialogs.done());
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("読み込みｴﾗｰ"));
        EXPECT_TRUE(dialogs.lastBox().text.contains(c.path));
        EXPECT_TRUE(dialogs.lastBox().text.contains(c.cause))
            << dialogs.lastBox().text.toStdString();
        EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("my work"));
    }
    // The original dialog offers the documents beside RTF and text, and still everything.
    EXPECT_EQ(dialogs.fileRequests().constLast().filter,
              QStringLiteral("ﾘｯﾁﾃｷｽﾄ形式(*.rtf);;ﾃｷｽﾄ形式(*.txt);;Word 文書 (*.docx *.doc);;"
                             "OpenDocument 文書 (*.odt);;すべて(*)"));
}

TEST_F(DocumentsTest, TurnedOffTheEditorOffersNoDocuments) {
    // On by default, without a file of its own; off is kept in one, and on again removes it.
    const QString file = app.file(DocumentSettings::FileName);
    ASSERT_TRUE(DocumentSettings::read(app.path()).enabled);
    DocumentSettings{true}.write(app.path());
    EXPECT_FALSE(QFile::exists(file));
    DocumentSettings{false}.write(app.path());
    EXPECT_EQ(readAll(file), QByteArray("enabled=0\n"));
    ASSERT_FALSE(DocumentSettings::read(app.path()).enabled);

    start();
    TranslationExport exporter(*editor);
    EXPECT_FALSE(form()->mnuExportTrans->isVisible());
    EXPECT_FALSE(form()->mnuExportTrans->isEnabled());
    // Both dialogs that choose an original offer what they offered before the documents.
    OriginalImport import(*editor);
    dialogs.expectOpenFile(std::nullopt);
    form()->mnuGetOrgFile->trigger();
    ASSERT_TRUE(dialogs.done());
    EXPECT_EQ(dialogs.fileRequests().constLast().filter,
              QStringLiteral("ﾘｯﾁﾃｷｽﾄ形式(*.rtf);;ﾃｷｽﾄ形式(*.txt);;すべて(*)"));
    FrmNewPlanWizard wizard(editor->project(), FrmNewPlanWizard::Purpose::ProjectList);
    wizard.formLoad();
    dialogs.expectOpenFile(std::nullopt);
    wizard.cmdSelectOrgFileClick();
    ASSERT_TRUE(dialogs.done());
    EXPECT_EQ(dialogs.fileRequests().constLast().filter,
              QStringLiteral("ﾘｯﾁﾃｷｽﾄ(*.rtf);;ﾃｷｽﾄ(*.txt);;すべて (*)"));
    // A file named as a document is read as its bytes are, with no converter asked.
    const QString named = work.filePath(QStringLiteral("notes.docx"));
    writeDocument(named, QStringLiteral("ただの文章"));
    QString error;
    EXPECT_EQ(load(named, &error), documentimport::Read::Loaded) << error.toStdString();
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("ただの文章"));

    DocumentSettings{true}.write(app.path());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(DocumentsTest, WithoutLibreOfficeTheCacheServesAndTheMessageNamesThePackage) {
    start();
    const QString document = made(QStringLiteral("lo-plain-japanese"), QStringLiteral("docx"));
    ASSERT_EQ(load(document), documentimport::Read::Loaded);
    const QString first = form()->Rtxt1->toPlainText();

    QTemporaryDir emptyBin;
    ScopedEnv path("PATH", emptyBin.path().toUtf8());
    ASSERT_TRUE(DocumentConverter::program().isEmpty());
    // Unchanged, the document comes from the cache with no converter.
    form()->Rtxt1->clear();
    ASSERT_EQ(load(document), documentimport::Read::Loaded);
    EXPECT_EQ(form()->Rtxt1->toPlainText(), first);

    // Changed, it needs the converter again, and the user is told which package brings it.
    QFile f(document);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    f.close();
    form()->Rtxt1->setPlainText(QStringLiteral("my work"));
    QString error;
    EXPECT_EQ(load(document, &error), documentimport::Read::Failed);
    EXPECT_EQ(error, wordprocessor::converterMissingText());
    EXPECT_TRUE(error.contains(QStringLiteral("libreoffice-writer")));
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("my work"));
    // Nothing was written beside the user's document.
    EXPECT_FALSE(QDir(work.path()).entryList({QStringLiteral("*.rtf")}, QDir::Files).size() > 1);
}

TEST_F(DocumentsTest, ACancelledOrTimedOutConversionLeavesNothingBehind) {
    start();
    const QString document = made(QStringLiteral("lo-plain-japanese"), QStringLiteral("docx"));
    const QByteArray bytes = readAll(document);
    const QString tmp = work.filePath(QStringLiteral("tmp"));
    QDir().mkpath(tmp);
    ScopedEnv tmpdir("TMPDIR", tmp.toUtf8());
    const auto nothingLeft = [&] {
        EXPECT_EQ(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList());
        EXPECT_EQ(processesNaming(tmp), 0);
    };

    DocumentConverter converter;
    converter.start(bytes, QStringLiteral("docx"), QStringLiteral("rtf"), QStringLiteral("rtf"));
    ASSERT_TRUE(converter.isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return processesNaming(tmp) > 0; }, 60000));
    converter.cancel();
    EXPECT_EQ(converter.outcome(), DocumentConverter::Outcome::Cancelled);
    nothingLeft();

    converter.setTimeLimit(50);
    converter.start(bytes, QStringLiteral("docx"), QStringLiteral("rtf"), QStringLiteral("rtf"));
    EXPECT_EQ(converter.waitForEnd(), DocumentConverter::Outcome::TimedOut);
    EXPECT_FALSE(converter.errorText().isEmpty());
    nothingLeft();

    // Cancelled from the progress window, the pane stays as it was.
    form()->Rtxt1->setPlainText(QStringLiteral("my work"));
    whenShown(QStringLiteral("frmConvert"), [&](QWidget* w) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return processesNaming(tmp) > 0; }, 60000));
        QTest::mouseClick(w->findChild<QPushButton*>(), Qt::LeftButton);
    });
    EXPECT_EQ(load(document), documentimport::Read::Cancelled);
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("my work"));
    nothingLeft();
}

TEST_F(DocumentsTest, TheUsersDocumentIsNeverWritten) {
    const QString document = made(QStringLiteral("lo-char-styles"), QStringLiteral("docx"));
    const QByteArray before = readAll(document);
    const QDateTime changed = QFileInfo(document).lastModified();
    const QStringList filesBefore = QDir(work.path()).entryList(QDir::Files);
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("前の訳文"));
    writeCurrentProject(QStringLiteral("docx"), document, app.file(QStringLiteral("訳文.rtf")),
                        true);
    start();
    EXPECT_TRUE(form()->Rtxt1->toPlainText().contains(QStringLiteral("太字")));
    // Even set to save the original with the translation.
    editor->project().saveOrgToo = true;
    form()->Rtxt2->setPlainText(QStringLiteral("訳文です"));
    form()->mnuSave->trigger();
    RichTextPane saved;
    ASSERT_TRUE(saved.loadFile(app.file(QStringLiteral("訳文.rtf"))));
    EXPECT_EQ(saved.toPlainText(), QStringLiteral("訳文です"));
    editor.reset();
    EXPECT_EQ(readAll(document), before);
    EXPECT_EQ(QFileInfo(document).lastModified(), changed);
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files), filesBefore);
}

TEST_F(DocumentsTest, TheExportedTranslationReadsBackWithItsFormatting) {
    start();
    TranslationExport exporter(*editor);
    QTextCursor c(form()->Rtxt2->document());
    c.insertText(QStringLiteral("普通の文と"));
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("太字"), f);
    f = {};
    f.setFontItalic(true);
    c.insertText(QStringLiteral("斜体"), f);
    f = {};
    f.setFontPointSize(16);
    c.insertText(QStringLiteral("大きい"), f);
    f = {};
    f.setForeground(QColor(255, 0, 0));
    c.insertText(QStringLiteral("赤い"), f);
    c.insertBlock();
    c.insertText(QStringLiteral("Second paragraph ① ±"), QTextCharFormat());
    const QStringList paragraphs = form()->Rtxt2->toPlainText().split(u'\n');

    // Word: as python-docx reads it.
    const QString docx = work.filePath(QStringLiteral("訳文.docx"));
    dialogs.expectSaveFile(docx);
    form()->mnuExportTrans->trigger();
    ASSERT_TRUE(dialogs.done());
    const QString script = QStringLiteral(
        "import docx, json, sys\n"
        "d = docx.Document(sys.argv[1])\n"
        "print(json.dumps([{'text': p.text, 'runs': [{'text': r.text, 'bold': bool(r.bold),"
        " 'italic': bool(r.italic), 'size': r.font.size.pt if r.font.size else 0,"
        " 'color': str(r.font.color.rgb) if r.font.color.type else ''} for r in p.runs]}"
        " for p in d.paragraphs]))\n");
    const QJsonArray read =
        QJsonDocument::fromJson(runTool(QStringLiteral("/usr/bin/python3"),
                                        {QStringLiteral("-c"), script, docx}, work.path(), 60000))
            .array();
    QStringList texts;
    QJsonObject runs;
    for (const QJsonValue& p : read) {
        texts << p[QStringLiteral("text")].toString();
        for (const QJsonValue& r : p[QStringLiteral("runs")].toArray())
            runs[r[QStringLiteral("text")].toString()] = r.toObject();
    }
    EXPECT_EQ(texts, paragraphs);
    EXPECT_TRUE(runs[QStringLiteral("太字")][QStringLiteral("bold")].toBool());
    EXPECT_FALSE(runs[QStringLiteral("普通の文と")][QStringLiteral("bold")].toBool());
    EXPECT_TRUE(runs[QStringLiteral("斜体")][QStringLiteral("italic")].toBool());
    EXPECT_EQ(runs[QStringLiteral("大きい")][QStringLiteral("size")].toDouble(), 16.0);
    EXPECT_EQ(runs[QStringLiteral("赤い")][QStringLiteral("color")].toString(),
              QStringLiteral("FF0000"));

    // OpenDocument: as LibreOffice reads it; the original too, when the user asks.
    form()->Rtxt1->setPlainText(QStringLiteral("原文の段落"));
    const QString odt = work.filePath(QStringLiteral("訳文.odt"));
    dialogs.expectSaveFile(odt).expectMessage(Answer::Yes, QStringLiteral("訳文_原文.odt"));
    form()->mnuExportTrans->trigger();
    ASSERT_TRUE(dialogs.done());
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("訳文の書き出し"));
    QTextDocument original;
    richtext::RtfReader().read(
        readAll(officeConvert(work.filePath(QStringLiteral("訳文_原文.odt")), QStringLiteral("rtf"),
                              QStringLiteral("rtf"), work.path())),
        &original);
    EXPECT_EQ(original.toPlainText(), QStringLiteral("原文の段落"));
    QTemporaryDir reread;
    QTextDocument back;
    richtext::RtfReader().read(
        readAll(officeConvert(odt, QStringLiteral("rtf"), QStringLiteral("rtf"), reread.path())),
        &back);
    EXPECT_EQ(back.toPlainText().split(u'\n'), paragraphs);
    const auto formatOf = [&back](const QString& run) {
        QTextCursor found = back.find(run);
        return found.charFormat();
    };
    EXPECT_TRUE(formatOf(QStringLiteral("太字")).fontWeight() >= QFont::Bold);
    EXPECT_FALSE(formatOf(QStringLiteral("普通の文と")).fontWeight() >= QFont::Bold);
    EXPECT_TRUE(formatOf(QStringLiteral("斜体")).fontItalic());
    EXPECT_EQ(formatOf(QStringLiteral("大きい")).fontPointSize(), 16.0);
    EXPECT_EQ(formatOf(QStringLiteral("赤い")).foreground().color(), QColor(255, 0, 0));
}

TEST(ConversionCache, StoringDropsEntriesUnusedForAMonth) {
    QTemporaryDir folder;
    const wordprocessor::ConversionCache cache(folder.path());
    const auto entry = [&](const QString& key, int daysOld) {
        cache.store(key, "{\\rtf1 x}");
        QFile f(folder.filePath(key + QStringLiteral(".rtf")));
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        EXPECT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-daysOld),
                                  QFileDevice::FileModificationTime));
    };
    entry(QStringLiteral("old"), wordprocessor::ConversionCache::StaleAfterDays + 1);
    entry(QStringLiteral("recent"), wordprocessor::ConversionCache::StaleAfterDays - 1);
    cache.store(QStringLiteral("new"), "{\\rtf1 y}");
    EXPECT_FALSE(cache.find(QStringLiteral("old")));
    EXPECT_EQ(cache.find(QStringLiteral("recent")), QByteArray("{\\rtf1 x}"));
    EXPECT_EQ(cache.find(QStringLiteral("new")), QByteArray("{\\rtf1 y}"));
}

} // namespace
