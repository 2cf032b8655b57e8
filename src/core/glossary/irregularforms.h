// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// English words whose inflected forms no ending rule reaches ("ran" is run, "mice" is mouse,
// "better" is good or well), read from WordNet's exception lists where they are installed. Lines
// that are damaged or name several words are left out; a missing list is no list.
class IrregularForms {
public:
    static IrregularForms read(const QStringList& exceptionFiles);
    void add(const QString& form, const QString& base);

    // The base forms of a folded word; empty for a regular one.
    QStringList basesOf(QStringView folded) const;
    bool isEmpty() const { return m_bases.isEmpty(); }

private:
    QHash<QString, QStringList> m_bases;
};
