// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/printsurface.h"

#include <QFont>
#include <QPainter>

class QPrinter;

// The print surface on a QPrinter: real printers, PDF files and the print preview. The document
// starts with the first drawing and ends with endDocument() or cancelDocument().
class QtPrintSurface : public PrintSurface {
public:
    explicit QtPrintSurface(QPrinter& printer);
    ~QtPrintSurface() override;

    void setFont(const QString& name, double pointSize, bool bold, bool italic) override;
    void useMillimetres() override {}
    QSizeF textExtent(const QString& text) override;
    QSizeF printableSize() override;
    QPointF position() const override { return m_position; }
    void setPosition(QPointF position) override { m_position = position; }
    void printText(const QString& text) override;
    void drawLine(QPointF from, QPointF to, int widthPixels) override;
    void newPage() override;
    void endDocument() override;
    void cancelDocument() override;

private:
    QPainter& painter();
    // False for a page outside the range the user chose in the print dialog.
    bool pageWanted() const;
    double toDevice(double mm) const;
    double toMm(double device) const;

    QPrinter& m_printer;
    QPainter m_painter;
    QFont m_font;
    QPointF m_position;
    int m_page = 1;
    bool m_finished = false;
};
