// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QString>

// Points printer at an A4 PDF file at path, as the print dialog answered that way would.
inline void printToA4Pdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

// The number of pages of the PDF file at path; -1 when there is no PDF file there.
inline int pdfPageCount(const QString& path) {
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = pdf.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    return int(QString::fromLatin1(bytes).count(
        QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}
