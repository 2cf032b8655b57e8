// SPDX-License-Identifier: GPL-3.0-or-later
#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cstdint>
#include <optional>
#include <vector>

namespace cp932 {
namespace {

// What a Japanese input method on Linux types (Unicode's own code points) against what the
// Windows mapping of CP932 holds for the same character. Qt's converter refuses the former.
QChar windowsCounterpart(QChar c) {
    switch (c.unicode()) {
    case 0x301C:
        return QChar(0xFF5E); // WAVE DASH -> FULLWIDTH TILDE (0x8160)
    case 0x2212:
        return QChar(0xFF0D); // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS (0x817C)
    case 0x2016:
        return QChar(0x2225); // DOUBLE VERTICAL LINE -> PARALLEL TO (0x8161)
    case 0x00A2:
        return QChar(0xFFE0); // CENT SIGN (0x8191)
    case 0x00A3:
        return QChar(0xFFE1); // POUND SIGN (0x8192)
    case 0x00AC:
        return QChar(0xFFE2); // NOT SIGN (0x81CA)
    case 0x00A5:
        return QChar(u'\\'); // YEN SIGN: the yen sign of Japanese fonts is 0x5C
    default:
        return c;
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

// For every UTF-16 unit, its CP932 bytes (high byte 0 for a single byte), or 0 for none. Built by
// decoding every single byte and every lead/trail pair, so each entry reads back to its unit. Where
// several byte pairs decode to one unit (NEC and IBM duplicates), the first in byte order wins,
// which is the form Windows itself writes.
struct ExactTable {
    std::vector<std::uint16_t> bytesOf = std::vector<std::uint16_t>(0x10000, 0);

    ExactTable() {
        for (unsigned b = 0x20; b < 0x80; ++b)
            bytesOf[b] = std::uint16_t(b);
        for (unsigned b = 0xA1; b <= 0xDF; ++b)
            take(QByteArray(1, char(b)), std::uint16_t(b));
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                const char pair[2] = {char(lead), char(trail)};
                take(QByteArray(pair, 2), std::uint16_t(lead << 8 | trail));
            }
        }
    }

    void take(const QByteArray& bytes, std::uint16_t code) {
        bool ok = false;
        const QString text = decode(bytes, &ok);
        if (!ok || text.size() != 1 || text[0] == QChar::ReplacementCharacter)
            return;
        std::uint16_t& slot = bytesOf[text[0].unicode()];
        if (slot == 0)
            slot = code;
    }
};

} // namespace

int encodeExact(char16_t c, unsigned char out[2]) {
    static const ExactTable table;
    const std::uint16_t code = table.bytesOf[c];
    if (code == 0)
        return 0;
    if (code < 0x100) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    out[0] = static_cast<unsigned char>(code >> 8);
    out[1] = static_cast<unsigned char>(code & 0xFF);
    return 2;
}

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

QString roundTrip(const QString& text) {
    return decode(encode(text));
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
