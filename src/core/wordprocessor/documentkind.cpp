// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentkind.h"

#include "core/files/systemerror.h"

#include <QFile>
#include <QFileInfo>

namespace wordprocessor {
namespace {

// Office Open XML and OpenDocument files are zip packages; Word's older documents and encrypted
// Office Open XML ones are compound files.
const QByteArray ZipMagic("PK\x03\x04", 4);
const QByteArray CompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

bool isCompoundFile(const QByteArray& bytes) {
    return bytes.startsWith(CompoundMagic);
}

// Word keeps an encrypted .docx as a compound file with this stream (its name in UTF-16).
bool isEncryptedPackage(const QByteArray& bytes) {
    static const QByteArray name = [] {
        QByteArray utf16;
        for (char c : QByteArrayLiteral("EncryptionInfo"))
            utf16.append(c).append('\0');
        return utf16;
    }();
    return isCompoundFile(bytes) && bytes.contains(name);
}

QString kindName(const QString& suffix) {
    return suffix == u"odt" ? QStringLiteral("OpenDocument") : QStringLiteral("Word");
}

QString refusalFor(const QString& suffix, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QStringLiteral("ﾌｧｲﾙが空です（0 ﾊﾞｲﾄ）。");
    if (isEncryptedPackage(bytes))
        return QStringLiteral("ﾊﾟｽﾜｰﾄﾞで保護された文書は読み込めません。");
    const bool fits = suffix == u"doc" ? isCompoundFile(bytes) || bytes.startsWith("{\\rtf")
                                       : bytes.startsWith(ZipMagic);
    if (!fits)
        return QStringLiteral("ﾌｧｲﾙの中身が %1 文書ではありません（名前と形式が違います）。")
            .arg(kindName(suffix));
    return {};
}

} // namespace

bool isWordProcessorDocument(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"docx" || suffix == u"doc" || suffix == u"odt";
}

DocumentBytes readDocument(const QString& path) {
    DocumentBytes read;
    const QFileInfo info(path);
    if (info.isDir()) {
        read.refusal = QStringLiteral("ﾌｫﾙﾀﾞです。文書ﾌｧｲﾙを選択して下さい。");
        return read;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.refusal = systemerror::fromSystemText(file.errorString());
        return read;
    }
    read.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        read.refusal = systemerror::fromSystemText(file.errorString());
        read.bytes.clear();
        return read;
    }
    read.refusal = refusalFor(info.suffix().toLower(), read.bytes);
    return read;
}

QString converterMissingText() {
    return QStringLiteral("Word 文書と OpenDocument 文書を読み書きするには LibreOffice が"
                          "必要です。\r\nﾊﾟｯｹｰｼﾞ libreoffice-writer をｲﾝｽﾄｰﾙして下さい。");
}

} // namespace wordprocessor
