// SPDX-License-Identifier: GPL-3.0-or-later
#include "qttranslation.h"

#include "japanesefiledialog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace {

struct MissingText {
    const char* context;
    const char* source;
    const char16_t* japanese;
};

// Texts of Qt 6 that its Japanese catalogue does not hold, or holds wrongly, in the words Qt's
// own Japanese uses elsewhere ("フォルダ", "両面印刷", "長辺綴じ").
constexpr MissingText MissingTexts[] = {
    {"QAbstractFileIconProvider", "Folder", u"フォルダ"},
    {"QAbstractFileIconProvider", "Drive", u"ドライブ"},
    {"QAbstractFileIconProvider", "File", u"ファイル"},
    {"QAbstractFileIconProvider", "Shortcut", u"ショートカット"},
    {"QAbstractFileIconProvider", "Unknown", u"不明"},
    {"QPrintSettingsOutput", "Pages", u"ページ指定"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated "
     "by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     u"印刷するページや範囲をカンマで区切って指定します。範囲は2つの番号をハイフンでつないで指定し"
     u"ます。例: 3,5-7,9 でページ 3、5、6、7、9 を印刷します。"},
    {"QPrintSettingsOutput", "Double Sided Printing", u"両面印刷"},
    {"QPrintSettingsOutput", "Off", u"なし"},
    {"QPrintSettingsOutput", "Long side binding", u"長辺綴じ"},
    {"QPrintSettingsOutput", "Short side binding", u"短辺綴じ"},
    {"QPrintDialog", "Invalid Pages Definition", u"ページ指定の誤り"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to "
     "define ranges and make sure ranges do not intersect with each other.",
     u"「%1」はページ指定の書き方になっていません。ページや範囲は「,」で区切り、範囲は「-」で"
     u"つないで、範囲どうしが重ならないように指定して下さい。"},
    {"QPrintDialog", "Duplex Settings Conflicts", u"両面印刷の設定の矛盾"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
     u"両面印刷の設定に矛盾があります。修正しますか？"},
    {"QPrintPropertiesWidget", "Advanced", u"詳細"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     u"いくつかのオプションの設定に矛盾があります。修正して下さい。"},
    // Qt's catalogue misspells this key's name ("Backspae"), which the Edit menus show beside
    // undo and redo.
    {"QShortcut", "Backspace", u"Backspace"},
};

// The program's catalogue for those texts, built in: a handful of entries needs no .qm file.
class MissingQtJapanese : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (!context || !source)
            return {};
        for (const MissingText& text : MissingTexts)
            if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, source) == 0)
                return QString::fromUtf16(text.japanese);
        return {};
    }

    bool isEmpty() const override { return false; }
};

} // namespace

QTranslator* installQtJapanese() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

QTranslator* installMissingQtJapanese() {
    auto* translator = new MissingQtJapanese(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator);
    return translator;
}

void useJapaneseInterface() {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    installQtJapanese();
    installMissingQtJapanese();
    makeEveryFileDialogJapanese();
}
