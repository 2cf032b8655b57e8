// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

// What the word-list printout needs of a printer, in millimetres from the top left corner of the
// printable area. Printing a text moves the position to the start of the next line, the way a
// line printer's carriage does. The Qt implementation draws on a QPrinter; tests record the
// calls instead.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual void setFont(const QString& name, double pointSize, bool bold, bool italic) = 0;
    // Positions, sizes and extents are in millimetres from here on.
    virtual void useMillimetres() = 0;
    // Width and height of text in the font in use; an empty text is one line high.
    virtual QSizeF textExtent(const QString& text) = 0;
    virtual QSizeF printableSize() = 0;
    virtual QPointF position() const = 0;
    virtual void setPosition(QPointF position) = 0;
    // Prints at the position and moves it to the left edge, one text height further down.
    virtual void printText(const QString& text) = 0;
    virtual void drawLine(QPointF from, QPointF to, int widthPixels) = 0;
    // A fresh page; the position returns to its top left corner.
    virtual void newPage() = 0;
    // Sends the document to the printer.
    virtual void endDocument() = 0;
    // Throws the document away; nothing is printed.
    virtual void cancelDocument() = 0;
};
