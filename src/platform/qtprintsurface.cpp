// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qtprintsurface.h"

#include "core/files/failure.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPen>
#include <QPrinter>

namespace {
constexpr double MmPerInch = 25.4;
// Rule widths are given in screen pixels, so a rule looks the same on paper at any resolution.
constexpr double ScreenDpi = 96.0;
} // namespace

QtPrintSurface::QtPrintSurface(QPrinter& printer) : m_printer(printer) {}

QtPrintSurface::~QtPrintSurface() {
    if (m_painter.isActive())
        m_painter.end();
}

QPainter& QtPrintSurface::painter() {
    if (!m_painter.isActive()) {
        if (m_finished || !m_painter.begin(&m_printer))
            throw RuntimeFailure(failure::PathFileAccess);
        m_painter.setFont(m_font);
    }
    return m_painter;
}

bool QtPrintSurface::pageWanted() const {
    if (m_printer.printRange() != QPrinter::PageRange)
        return true;
    const QPageRanges ranges = m_printer.pageRanges();
    return ranges.isEmpty() || ranges.contains(m_page);
}

double QtPrintSurface::toDevice(double mm) const {
    return mm * m_printer.resolution() / MmPerInch;
}

double QtPrintSurface::toMm(double device) const {
    return device * MmPerInch / m_printer.resolution();
}

void QtPrintSurface::setFont(const QString& name, double pointSize, bool bold, bool italic) {
    m_font = QFont(name);
    m_font.setPointSizeF(pointSize > 0 ? pointSize : 1);
    m_font.setBold(bold);
    m_font.setItalic(italic);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
}

QSizeF QtPrintSurface::textExtent(const QString& text) {
    const QFontMetricsF metrics(m_font, &m_printer);
    return {toMm(metrics.horizontalAdvance(text)), toMm(metrics.height())};
}

QSizeF QtPrintSurface::printableSize() {
    return m_printer.pageLayout().paintRect(QPageLayout::Millimeter).size();
}

void QtPrintSurface::printText(const QString& text) {
    if (pageWanted()) {
        QPainter& p = painter();
        const QFontMetricsF metrics(m_font, &m_printer);
        p.drawText(QPointF(toDevice(m_position.x()), toDevice(m_position.y()) + metrics.ascent()),
                   text);
    }
    m_position = {0, m_position.y() + textExtent(text).height()};
}

void QtPrintSurface::drawLine(QPointF from, QPointF to, int widthPixels) {
    if (!pageWanted())
        return;
    QPainter& p = painter();
    p.setPen(QPen(Qt::black, m_printer.resolution() * widthPixels / ScreenDpi));
    p.drawLine(QPointF(toDevice(from.x()), toDevice(from.y())),
               QPointF(toDevice(to.x()), toDevice(to.y())));
}

void QtPrintSurface::newPage() {
    // A page of the document stays in it even when nothing was drawn on it.
    if (pageWanted())
        painter();
    ++m_page;
    m_position = {};
    // Pages outside the chosen range are laid out but not put on paper.
    if (pageWanted() && m_painter.isActive())
        m_printer.newPage();
}

void QtPrintSurface::endDocument() {
    // A chosen range past the last page leaves nothing to send.
    if (m_painter.isActive() || m_printer.printRange() != QPrinter::PageRange) {
        painter();
        m_painter.end();
    }
    m_finished = true;
}

void QtPrintSurface::cancelDocument() {
    if (m_painter.isActive()) {
        m_printer.abort();
        if (m_painter.isActive())
            m_painter.end();
        // A PDF cannot be aborted; what was written of it goes.
        if (!m_printer.outputFileName().isEmpty())
            QFile::remove(m_printer.outputFileName());
    }
    m_finished = true;
}
