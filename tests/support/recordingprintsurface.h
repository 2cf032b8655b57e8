// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/printsurface.h"

#include <QList>

// A print surface that records every call with its position in millimetres. Its metrics are
// simple and exact: a character below U+0100 is a quarter of the point size wide in millimetres,
// any other character half of it, and every line is half the point size high.
class RecordingPrintSurface : public PrintSurface {
public:
    enum class Kind { Font, Text, Line, NewPage, End, Cancel };
    struct Font {
        QString name;
        double size = 0;
        bool bold = false;
        bool italic = false;
    };
    struct Call {
        Kind kind;
        QString text;  // Text: what was printed
        QPointF at;    // Text: where; Line: from
        QPointF to;    // Line: to
        int width = 0; // Line: pixels
        Font font;     // the font in use
        int page = 1;
    };

    explicit RecordingPrintSurface(QSizeF printable = {190, 277}) : m_printable(printable) {}

    void setFont(const QString& name, double pointSize, bool bold, bool italic) override {
        m_font = {name, pointSize, bold, italic};
        record({Kind::Font});
    }
    void useMillimetres() override { m_millimetres = true; }
    QSizeF textExtent(const QString& text) override {
        double width = 0;
        for (QChar c : text)
            width += c.unicode() < 0x100 ? m_font.size / 4 : m_font.size / 2;
        return {width, m_font.size / 2};
    }
    QSizeF printableSize() override { return m_printable; }
    QPointF position() const override { return m_position; }
    void setPosition(QPointF position) override { m_position = position; }
    void printText(const QString& text) override {
        Call call{Kind::Text, text, m_position};
        record(call);
        m_position = {0, m_position.y() + textExtent(text).height()};
    }
    void drawLine(QPointF from, QPointF to, int widthPixels) override {
        Call call{Kind::Line, {}, from, to, widthPixels};
        record(call);
    }
    void newPage() override {
        ++m_page;
        m_position = {};
        record({Kind::NewPage});
    }
    void endDocument() override { record({Kind::End}); }
    void cancelDocument() override { record({Kind::Cancel}); }

    bool millimetres() const { return m_millimetres; }
    const QList<Call>& calls() const { return m_calls; }
    // The printed texts only, in order.
    QList<Call> texts() const {
        QList<Call> out;
        for (const Call& c : m_calls)
            if (c.kind == Kind::Text)
                out.append(c);
        return out;
    }
    int pages() const { return m_page; }

private:
    void record(Call call) {
        call.font = m_font;
        call.page = m_page;
        m_calls.append(call);
    }

    QSizeF m_printable;
    Font m_font;
    QPointF m_position;
    QList<Call> m_calls;
    int m_page = 1;
    bool m_millimetres = false;
};
