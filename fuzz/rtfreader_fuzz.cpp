// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the RTF reader: it must neither crash, nor hang, nor read out of bounds,
// whatever it is given.
#include "core/richtext/rtfreader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Documents need fonts, fonts need a GUI application; it lives for the whole run.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTextDocument document;
    richtext::RtfReader reader;
    reader.read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &document);
    return 0;
}
