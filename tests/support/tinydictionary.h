// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A Hunspell dictionary of a few words, written to a folder of its own that
// $VERBANTA_HUNSPELL_DIR names while the object lives. By default it is called en_US, so the
// spelling check takes it as the default English dictionary.
class TinyDictionary {
public:
    explicit TinyDictionary(const QByteArray& code = "en_US",
                            const QByteArray& words = "hello\nworld\nthe\ncat\nsat\ncolour\nrun\n")
        : m_previous(qgetenv("VERBANTA_HUNSPELL_DIR")),
          m_hadPrevious(qEnvironmentVariableIsSet("VERBANTA_HUNSPELL_DIR")) {
        write(code + ".aff", "SET UTF-8\nTRY esianrtolcdugmfphbyvkw\n");
        write(code + ".dic", QByteArray::number(words.count('\n')) + '\n' + words);
        qputenv("VERBANTA_HUNSPELL_DIR", m_dir.path().toUtf8());
    }
    ~TinyDictionary() {
        if (m_hadPrevious)
            qputenv("VERBANTA_HUNSPELL_DIR", m_previous);
        else
            qunsetenv("VERBANTA_HUNSPELL_DIR");
    }
    QString path() const { return m_dir.path(); }

private:
    void write(const QByteArray& name, const QByteArray& bytes) {
        QFile f(m_dir.path() + u'/' + QString::fromUtf8(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};
