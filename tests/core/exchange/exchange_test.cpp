// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exchange/exchange.h"
#include "core/exchange/formats.h"
#include "core/store/book.h"
#include "core/store/booktransfer.h"
#include "core/text/cp932.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

using exchange::Format;

namespace {

// A book with what trips up text formats: tabs, quotes, markup characters, line breaks in
// examples, Japanese, leading spaces, words of 40 bytes and records filled to the last byte.
struct AwkwardWord {
    QString word, meaning, example;
    bool checked;
};
const std::vector<AwkwardWord>& awkwardWords() {
    static const std::vector<AwkwardWord> words = {
        {"apple", "say \"hi\" & <b>bold</b>", "line1\r\nline2\r\n\tindented & <tag>", true},
        {"  leading", "  spaced  meaning", "a  b", false},
        {"a<b&c>d'", "tab\there <div class=\"example\">not one</div>", "", false},
        {QStringLiteral("日本語の単語"), QStringLiteral("にほんご、和語"),
         QStringLiteral("「例」です。\r\n\r\n二行目"), true},
        {QString(20, QChar(0x6F22)), QString(100, QChar(0x3042)), QString(400, u'x'), false},
        {"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN", "&amp; stays &amp;", "#not a comment", true},
    };
    return words;
}

struct AwkwardBook {
    TempAppFolder app;
    QString folder;
    std::vector<IndexEntry> list;
    AwkwardBook() : folder(app.file("src")) {
        QDir().mkpath(folder);
        BookBuilder builder(folder);
        for (const AwkwardWord& w : awkwardWords())
            builder.add(w.word, w.meaning, w.example);
        builder.write();
        for (size_t i = 0; i < awkwardWords().size(); ++i)
            list.push_back({awkwardWords()[i].word, qint32(i + 1), awkwardWords()[i].checked});
    }
    QString emptyBook(const QString& name) const {
        QDir().mkpath(app.file(name));
        return app.file(name);
    }
};

QString lf(QString s) {
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Python's own readers on our file: the script prints the rows it finds as JSON, and asserts
// what the other program needs.
QJsonArray pythonRows(const char* script, const QString& file) {
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(script), file});
    EXPECT_TRUE(python.waitForFinished(120000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

const char* const AnkiScript = R"(
import csv, html, json, re, sys
data = open(sys.argv[1], encoding='utf-8', newline='').read()
lines = data.split('\n')
assert lines[:5] == ['#separator:tab', '#html:true', '#notetype column:1', '#deck column:2',
                     '#tags column:5'], lines[:5]
def text(h):
    assert '<' not in re.sub(r'<br>', '', h), h
    return html.unescape(h.replace('<br>', '\n'))
rows = []
for r in csv.reader([l for l in lines[5:] if l], delimiter='\t'):
    assert len(r) == 5 and r[0] == 'Basic' and r[1] == 'src', r
    back, _, example = r[3].partition('<div class="example">')
    assert example == '' or example.endswith('</div>'), r
    rows.append([text(r[2]), text(back), text(example[:-6]), r[4]])
print(json.dumps(rows))
)";

const char* const KvtmlScript = R"(
import json, sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == 'kvtml' and root.get('version') == '2.0'
ids = root.findall('identifiers/identifier')
assert [(i.get('id'), i.findtext('name'), i.findtext('locale')) for i in ids] == \
    [('0', '英語ｾｯﾄ', 'en'), ('1', '日本語', 'ja')], [ET.tostring(i) for i in ids]
entries = root.findall('entries/entry')
in_lessons = sorted(e.get('id') for e in root.findall('lessons/container/entry'))
assert in_lessons == sorted(e.get('id') for e in entries), 'entries outside the lessons'
rows = []
for e in entries:
    first, second = e.find("translation[@id='0']"), e.find("translation[@id='1']")
    rows.append([first.findtext('text'), second.findtext('text'),
                 first.findtext('example') or '', ''])
print(json.dumps(rows))
)";

const char* const OmegaTScript = R"(
import json, sys
data = open(sys.argv[1], encoding='utf-8', newline='').read()
assert data.endswith('\n')
rows = []
for line in data[:-1].split('\n'):
    fields = line.split('\t')
    assert 2 <= len(fields) <= 3 and '\r' not in line, fields
    fields = [f.replace('\u2028', '\n').replace('\u2409', '\t') for f in fields] + ['']
    rows.append(fields[:3] + [''])
print(json.dumps(rows))
)";

const char* const TbxScript = R"(
import json, sys, xml.etree.ElementTree as ET
LANG = '{http://www.w3.org/XML/1998/namespace}lang'
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == 'martif' and root.get('type') == 'TBX-Basic' and root.get(LANG) == 'en'
assert root.find('martifHeader/fileDesc/titleStmt/title').text == 'src'
rows = []
for entry in root.findall('text/body/termEntry'):
    sets = entry.findall('langSet')
    assert [s.get(LANG) for s in sets] == ['en', 'ja'], ET.tostring(entry)
    context = sets[0].find("tig/descrip[@type='context']")
    rows.append([sets[0].findtext('tig/term'), sets[1].findtext('tig/term'),
                 context.text if context is not None else '', ''])
print(json.dumps(rows))
)";

struct FormatCase {
    Format format;
    const char* script;
};
const FormatCase Formats[] = {{Format::Anki, AnkiScript},
                              {Format::Kvtml, KvtmlScript},
                              {Format::OmegaT, OmegaTScript},
                              {Format::Tbx, TbxScript}};

// Each format carries the awkward book out and back in unchanged, and an independent reader
// finds in the file what the other program needs.
TEST(Exchange, EachFormatCarriesAnAwkwardBookThereAndBack) {
    AwkwardBook b;
    const exchange::BookInfo info = exchange::infoFor("src", QStringLiteral("英語ｾｯﾄ"));
    for (const FormatCase& c : Formats) {
        SCOPED_TRACE(exchange::nameOf(c.format).toStdString());
        const QString file = b.app.file("out." + exchange::suffixOf(c.format));
        EXPECT_EQ(exchange::exportFile(c.format, b.folder, b.list, file, info), 0);

        const QJsonArray rows = pythonRows(c.script, file);
        ASSERT_EQ(rows.size(), qsizetype(awkwardWords().size()));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const AwkwardWord& w = awkwardWords()[size_t(i)];
            const QJsonArray row = rows[i].toArray();
            EXPECT_EQ(row[0].toString(), w.word);
            EXPECT_EQ(row[1].toString(), lf(w.meaning));
            EXPECT_EQ(row[2].toString(), lf(w.example));
            if (c.format == Format::Anki)
                EXPECT_EQ(row[3].toString(), w.checked ? "checked" : "");
        }

        const exchange::ReadResult read = exchange::readFile(c.format, file);
        ASSERT_EQ(read.error, "");
        EXPECT_TRUE(read.leftOut.isEmpty()) << read.leftOut.join(u',').toStdString();
        if (c.format == Format::Anki)
            for (size_t i = 0; i < read.rows.size(); ++i)
                EXPECT_EQ(read.rows[i].checked, awkwardWords()[i].checked);
        const QString target = b.emptyBook("in" + exchange::suffixOf(c.format));
        const booktransfer::CsvImportReport report = exchange::importRows(read.rows, target);
        EXPECT_EQ(report.added, int(awkwardWords().size()));
        EXPECT_EQ(report.cut, 0);
        EXPECT_TRUE(report.notes.empty()) << report.notesText().toStdString();
        EXPECT_EQ(bookContents(target), bookContents(b.folder));

        // Only the checked words, as the export offers.
        const QString checkedFile = b.app.file("checked." + exchange::suffixOf(c.format));
        exchange::exportFile(c.format, b.folder, booktransfer::selection(b.list, true), checkedFile,
                             info);
        const QString checkedBook = b.emptyBook("checked" + exchange::suffixOf(c.format));
        exchange::importRows(exchange::readFile(c.format, checkedFile).rows, checkedBook);
        QStringList expected;
        for (const QString& line : bookContents(b.folder))
            if (line.startsWith("apple|") || line.startsWith(QStringLiteral("日本語の単語|")) ||
                line.startsWith("abcdefghij"))
                expected << line;
        EXPECT_EQ(bookContents(checkedBook), expected);
    }
}

// A document the way KWordQuiz saves it: its document type line, a space before '>', grades,
// comments, a third language, nested lessons and word types, which the book has no place for.
TEST(Exchange, ReadsKvtmlAsKWordQuizSavesItAndNamesWhatItLeftOut) {
    const QByteArray kvtml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE kvtml PUBLIC "kvtml2.dtd" "http://edu.kde.org/kvtml/kvtml2.dtd">
<kvtml version="2.0" >
  <information>
    <generator>kwordquiz 0.9.2</generator>
    <title>Tiere</title>
  </information>
  <identifiers>
    <identifier id="0" >
      <name>Deutsch</name>
      <locale>de</locale>
    </identifier>
    <identifier id="1" >
      <name>Japanisch</name>
      <locale>ja</locale>
    </identifier>
    <identifier id="2" >
      <name>English</name>
      <locale>en</locale>
    </identifier>
  </identifiers>
  <entries>
    <entry id="0" >
      <translation id="1" >
        <text>猫</text>
        <comment>neko</comment>
      </translation>
      <translation id="0" >
        <text>die Katze</text>
        <example>Die Katze schläft &amp; träumt.</example>
        <grade>
          <currentgrade>2</currentgrade>
          <count>3</count>
        </grade>
      </translation>
      <translation id="2" >
        <text>the cat</text>
      </translation>
    </entry>
    <entry id="1" >
      <translation id="0" >
        <text>der Hund</text>
      </translation>
      <translation id="1" >
        <text>犬</text>
      </translation>
    </entry>
  </entries>
  <lessons>
    <container>
      <name>Lektion 1</name>
      <inpractice>true</inpractice>
      <container>
        <name>Haustiere</name>
        <entry id="0" />
      </container>
      <entry id="1" />
    </container>
  </lessons>
  <wordtypes>
    <container>
      <name>Noun</name>
      <specialwordtype>noun</specialwordtype>
    </container>
  </wordtypes>
</kvtml>
)";
    const exchange::ReadResult read = exchange::readKvtml(kvtml);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].word, "die Katze");
    EXPECT_EQ(read.rows[0].meaning, QStringLiteral("猫"));
    EXPECT_EQ(read.rows[0].example, QStringLiteral("Die Katze schläft & träumt."));
    EXPECT_EQ(read.rows[0].line, 23);
    EXPECT_EQ(read.rows[1].word, "der Hund");
    EXPECT_EQ(read.rows[1].meaning, QStringLiteral("犬"));
    EXPECT_EQ(read.leftOut,
              QStringList({QStringLiteral("3番目以降の言語"), QStringLiteral("ｺﾒﾝﾄ（comment）"),
                           QStringLiteral("成績（grade）"), QStringLiteral("ﾚｯｽﾝ分け（lessons）"),
                           QStringLiteral("品詞（wordtypes）")}));
}

// Anki's "Notes in Plain Text" with its headers: a guid column, quoted fields holding the
// separator, quotes and line breaks, HTML with blocks, breaks and entities; and the same notes
// in a file without headers.
TEST(Exchange, ReadsAnkisPlainTextNotesWithAndWithoutHeaders) {
    const QByteArray withHeaders =
        "\xEF\xBB\xBF#separator:tab\n#html:true\n#guid column:1\n"
        "#notetype column:2\n#deck column:3\n#tags column:6\n"
        "f@7x\tBasic\tDefault\t<div>cat</div>\t\"\xE7\x8C\xAB<br>"
        "neko&nbsp;&amp; <b>cats</b><div>&lt;pl&gt; &#x41;&#66;</div>\"\t"
        "leech checked\n"
        "g#2y\tBasic (and reversed card)\tDefault\tdog\t"
        "\"a \"\"dog\"\";\tx\nfriend\"\t\n";
    const exchange::ReadResult read = exchange::readAnki(withHeaders);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.rows.size(), 2u);
    EXPECT_EQ(read.rows[0].word, "cat");
    EXPECT_EQ(read.rows[0].meaning, QStringLiteral("猫\nneko & cats\n<pl> AB"));
    EXPECT_TRUE(read.rows[0].checked);
    EXPECT_EQ(read.rows[0].line, 7);
    EXPECT_EQ(read.rows[1].word, "dog");
    EXPECT_EQ(read.rows[1].meaning, "a \"dog\";\tx\nfriend");
    EXPECT_EQ(read.rows[1].example, "");
    EXPECT_EQ(read.rows[1].fields, 2);
    EXPECT_FALSE(read.rows[1].checked);
    EXPECT_EQ(read.rows[1].line, 8);

    const exchange::ReadResult plain =
        exchange::readAnki("cat\t\xE7\x8C\xAB &lt;neko&gt;\ndog\t\xE7\x8A\xAC\n");
    ASSERT_EQ(plain.rows.size(), 2u);
    EXPECT_EQ(plain.rows[0].meaning, QStringLiteral("猫 <neko>"));
    EXPECT_EQ(plain.rows[1].line, 2);
    const exchange::ReadResult semicolons =
        exchange::readAnki("#separator:Semicolon\n#html:false\ncat;<b>猫</b>\n");
    ASSERT_EQ(semicolons.rows.size(), 1u);
    EXPECT_EQ(semicolons.rows[0].meaning, QStringLiteral("<b>猫</b>"));
}

// XML text as a reader must take it: references of every UTF-8 length, also in attributes,
// CDATA as written, CR LF and a lone CR as line feeds. And on the way out, characters XML cannot
// hold are left out and counted, the rest written as they are.
TEST(Exchange, ResolvesXmlTextAndLeavesOutWhatXmlCannotHold) {
    const exchange::ReadResult read = exchange::readKvtml(
        "<kvtml version=\"2.0\"><entries><entry><translation id=\"&#48;\">"
        "<text>&#65;&#xE9;&#x3042;&#x1F600;<![CDATA[<&amp;>]]></text>"
        "<example>a\r\nb\rc</example></translation>"
        "<translation id=\"1\"><text>x</text></translation></entry></entries></kvtml>");
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.rows.size(), 1u);
    EXPECT_EQ(read.rows[0].word, QStringLiteral("Aé\u3042\U0001F600<&amp;>"));
    EXPECT_EQ(read.rows[0].example, "a\nb\nc");
    EXPECT_EQ(read.rows[0].meaning, "x");

    TempAppFolder app;
    const QString folder = app.file("b");
    QDir().mkpath(folder);
    BookBuilder(folder)
        .add("w",
             "a\x01"
             "b\x1F"
             "c",
             "\tx\x7F\r\n&")
        .write();
    const QString file = app.file("out.tbx");
    EXPECT_EQ(exchange::exportFile(Format::Tbx, folder, {{"w", 1, false}}, file,
                                   exchange::infoFor("b", QStringLiteral("英語"))),
              2);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_TRUE(bytes.contains("<term>abc</term>")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("<descrip type=\"context\">\tx\x7F\n&amp;</descrip>"))
        << bytes.toStdString();
}

// Every entry the book cannot take is named with the line it starts on, as the comma-separated
// import names its rows; the rest are added.
TEST(Exchange, NamesEachEntryItDidNotTakeWithItsLine) {
    TempAppFolder app;
    const QString book = app.file("T");
    QDir().mkpath(book);
    BookBuilder(book).add("Apple", "T:Apple").write();
    // One entry a line, from line 4; the last starts on line 8.
    const QByteArray tbx = R"(<?xml version="1.0"?>
<martif type="TBX-Basic" xml:lang="en">
<text><body>
<termEntry><langSet xml:lang="en"><tig><term>fox</term></tig></langSet><langSet xml:lang="ja"><tig><term>きつね</term></tig></langSet></termEntry>
<termEntry><langSet xml:lang="en-US"><tig><term>apple</term></tig></langSet></termEntry>
<termEntry><langSet xml:lang="en"><tig><term>한</term></tig></langSet></termEntry>
<termEntry><langSet xml:lang="ja"><tig><term>空</term></tig></langSet><langSet xml:lang="en"><ntig><termGrp><term> </term></termGrp></ntig></langSet></termEntry>
<termEntry>
<langSet xml:lang="en"><tig><term>FOX</term></tig><note>a note</note></langSet></termEntry>
</body></text></martif>
)";
    const exchange::ReadResult read = exchange::readTbx(tbx);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.rows.size(), 5u);
    EXPECT_EQ(read.rows[4].example, "a note");
    const booktransfer::CsvImportReport report = exchange::importRows(read.rows, book);
    EXPECT_EQ(report.added, 1);
    EXPECT_EQ(report.duplicates, 1);
    EXPECT_EQ(report.repeatedInFile, 1);
    EXPECT_EQ(report.refusedCount(), 2);
    const QStringList notes = report.notesText().split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(notes.size(), 4) << report.notesText().toStdString();
    EXPECT_TRUE(notes[0].startsWith(QStringLiteral("5行目 apple: ﾌﾞｯｸにすでにある語")));
    EXPECT_TRUE(notes[1].startsWith(QStringLiteral("6行目 \uD55C: 単語に保存できない文字")));
    EXPECT_TRUE(notes[2].startsWith(QStringLiteral("7行目 : 単語が空です")));
    EXPECT_EQ(
        notes[3],
        QStringLiteral("8行目 FOX: 4行目と同じ語のため取込みませんでした（4行目を残しました）"));
    EXPECT_EQ(bookContents(book), QStringList({"Apple|T:Apple|", QStringLiteral("fox|きつね|")}));
}

// Files that are not what they claim are refused with a message before anything is taken.
TEST(Exchange, RefusesFilesThatAreNotWhatTheyClaim) {
    TempAppFolder app;
    const QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE kvtml [\n"
                            " <!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
                            " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                            " <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
                            "]>\n<kvtml version=\"2.0\"><entries><entry><translation id=\"0\">"
                            "<text>&c;</text></translation></entry></entries></kvtml>\n";
    const QByteArray external = "<?xml version=\"1.0\"?>\n<!DOCTYPE martif [\n"
                                " <!ENTITY secret SYSTEM \"file:///etc/passwd\">\n]>\n"
                                "<martif><text><body><termEntry><langSet xml:lang=\"en\"><tig>"
                                "<term>&secret;</term></tig></langSet></termEntry></body></text>"
                                "</martif>\n";
    const QByteArray undeclared = "<martif><text><body><termEntry><langSet xml:lang=\"en\"><tig>"
                                  "<term>&secret;</term></tig></langSet></termEntry></body>"
                                  "</text></martif>\n";
    const QByteArray html = "\n  <!DOCTYPE html>\n<html><head><title>Vocabulary</title></head>"
                            "<body><p>kvtml</p></body></html>\n";
    const QByteArray sjisKvtml =
        "<kvtml version=\"2.0\"><entries><entry><translation id=\"0\"><text>" +
        cp932::encode(QStringLiteral("猫")) + "</text></translation></entry></entries></kvtml>";
    const QByteArray sjisText = cp932::encode(QStringLiteral("猫\tねこ\n"));
    const struct {
        const char* name;
        Format format;
        QByteArray bytes;
        QString says;
    } cases[] = {
        {"bomb.kvtml", Format::Kvtml, bomb, QStringLiteral("実体を宣言")},
        {"external.tbx", Format::Tbx, external, QStringLiteral("実体を宣言")},
        {"undeclared.tbx", Format::Tbx, undeclared, QStringLiteral("取込みを中止しました")},
        {"page.kvtml", Format::Kvtml, html, QStringLiteral("HTML")},
        {"sjis.kvtml", Format::Kvtml, sjisKvtml, QStringLiteral("UTF-8 で書かれていません")},
        {"sjis.txt", Format::Anki, sjisText, QStringLiteral("UTF-8 で書かれていません")},
        {"sjis.utf8", Format::OmegaT, sjisText, QStringLiteral("UTF-8 で書かれていません")},
        {"old.kvtml", Format::Kvtml, "<kvtml version=\"1.0\"><e><o>x</o></e></kvtml>",
         QStringLiteral("版 2 の")},
        {"kvtml.tbx", Format::Tbx, "<kvtml version=\"2.0\"/>", QStringLiteral("<kvtml>")},
        {"crossed.kvtml", Format::Kvtml,
         "<kvtml version=\"2.0\">\n<entries><entry>\n</entries></kvtml>",
         QStringLiteral("3行目に XML の誤り")},
        {"cut.tbx", Format::Tbx, "<martif><text><body><termEntry>", QStringLiteral("閉じられない")},
        {"latin1.tbx", Format::Tbx, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><martif/>",
         QStringLiteral("iso-8859-1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.write(c.name, c.bytes);
        const exchange::ReadResult read = exchange::readFile(c.format, app.file(c.name));
        EXPECT_TRUE(read.error.contains(c.says)) << read.error.toStdString();
        EXPECT_TRUE(read.rows.empty());
    }
    // A file past the limit is refused by its size; it is never read (the sparse file would
    // read as zeros).
    QFile huge(app.file("huge.tbx"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(exchange::MaxFileSize + 1));
    huge.close();
    EXPECT_TRUE(exchange::readFile(Format::Tbx, huge.fileName()).error.contains("大きすぎます"));
}

} // namespace
