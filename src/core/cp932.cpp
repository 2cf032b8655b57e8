#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace cp932 {
namespace {

// What a Japanese input method on Linux types (Unicode's own code points) against what the
// Windows mapping of CP932 holds for the same character. Qt's converter refuses the former.
QChar windowsCounterpart(QChar c) {
    switch (c.unicode()) {
    case 0x301C: return QChar(0xFF5E); // WAVE DASH -> FULLWIDTH TILDE (0x8160)
    case 0x2212: return QChar(0xFF0D); // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS (0x817C)
    case 0x2016: return QChar(0x2225); // DOUBLE VERTICAL LINE -> PARALLEL TO (0x8161)
    case 0x00A2: return QChar(0xFFE0); // CENT SIGN (0x8191)
    case 0x00A3: return QChar(0xFFE1); // POUND SIGN (0x8192)
    case 0x00AC: return QChar(0xFFE2); // NOT SIGN (0x81CA)
    case 0x00A5: return QChar(u'\\');  // YEN SIGN: the yen sign of Japanese fonts is 0x5C
    default: return c;
    }
}

QString toWindowsForms(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        c = windowsCounterpart(c);
    return out;
}

// Opening a converter costs more than most conversions, so each thread keeps one. Qt's
// ICU-backed converters keep their error flag across resetState(), so a converter that saw an
// error is replaced by a fresh one before its next use.
QStringEncoder& encoder() {
    thread_local std::optional<QStringEncoder> e;
    if (!e || e->hasError()) {
        e.reset();
        e.emplace("windows-31j", QStringConverter::Flag::Stateless);
    }
    return *e;
}

QStringDecoder& decoder() {
    thread_local std::optional<QStringDecoder> d;
    if (!d || d->hasError()) {
        d.reset();
        d.emplace("windows-31j", QStringConverter::Flag::Stateless);
    }
    return *d;
}

bool isAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool canEncode(const QString& piece) {
    QStringEncoder& e = encoder();
    const QByteArray bytes = e.encode(piece); // the conversion runs only when taken
    return !e.hasError();
}

} // namespace

QString decode(QByteArrayView bytes, bool* ok) {
    bool fine = true;
    qsizetype end = bytes.size();
    // Find a lead byte left without its trail byte at the very end; the converter would drop it
    // without a word.
    bool danglingLead = false;
    for (qsizetype i = 0; i < end;) {
        if (isLeadByte(static_cast<unsigned char>(bytes[i]))) {
            if (i + 1 == end) {
                danglingLead = true;
                break;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    if (danglingLead)
        --end;
    QString text;
    bool plain = true;
    for (qsizetype i = 0; i < end; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            plain = false;
            break;
        }
    if (plain) {
        text = QString::fromLatin1(bytes.first(end));
    } else {
        QStringDecoder& d = decoder();
        text = d.decode(bytes.first(end));
        if (d.hasError())
            fine = false;
    }
    if (danglingLead) {
        text += QChar::ReplacementCharacter;
        fine = false;
    }
    if (ok)
        *ok = fine;
    return text;
}

QString unencodable(const QString& text) {
    if (isAscii(text))
        return {};
    QString bad;
    const QString mapped = toWindowsForms(text);
    for (qsizetype i = 0; i < mapped.size(); ++i) {
        QString piece(mapped[i]);
        if (mapped[i].isHighSurrogate() && i + 1 < mapped.size()) {
            piece += mapped[i + 1];
            ++i;
        }
        if (piece.at(0).unicode() < 0x80)
            continue;
        if (!canEncode(piece) && !bad.contains(piece))
            bad += piece;
    }
    return bad;
}

QByteArray encode(const QString& text) {
    if (isAscii(text))
        return text.toLatin1();
    const QString mapped = toWindowsForms(text);
    QStringEncoder& e = encoder();
    QByteArray bytes = e.encode(mapped);
    if (!e.hasError())
        return bytes;
    // Some character had no CP932 form: encode piece by piece so only that character turns
    // into '?' and the rest stays aligned.
    QByteArray out;
    for (qsizetype i = 0; i < mapped.size(); ++i) {
        QString piece(mapped[i]);
        if (mapped[i].isHighSurrogate() && i + 1 < mapped.size())
            piece += mapped[++i];
        QStringEncoder& fresh = encoder();
        QByteArray b = fresh.encode(piece);
        out += fresh.hasError() ? QByteArray("?") : b;
    }
    return out;
}

QByteArray encodeField(const QString& text, int fieldSize) {
    QByteArray bytes = encode(text);
    if (bytes.size() > fieldSize) {
        qsizetype cut = 0;
        while (cut < fieldSize) {
            const qsizetype width = isLeadByte(static_cast<unsigned char>(bytes[cut])) ? 2 : 1;
            if (cut + width > fieldSize)
                break;
            cut += width;
        }
        bytes.truncate(cut);
    }
    bytes.append(fieldSize - bytes.size(), ' ');
    return bytes;
}

} // namespace cp932
