// SPDX-License-Identifier: GPL-3.0-or-later
#include "tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempAppFolder::TempAppFolder()
    : m_previousHome(qgetenv("VERBANTA_HOME")),
      m_hadHome(qEnvironmentVariableIsSet("VERBANTA_HOME")) {
    qputenv("VERBANTA_HOME", m_dir.path().toLocal8Bit());
}

TempAppFolder::~TempAppFolder() {
    if (m_hadHome)
        qputenv("VERBANTA_HOME", m_previousHome);
    else
        qunsetenv("VERBANTA_HOME");
}

QByteArray TempAppFolder::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TempAppFolder::write(const QString& name, const QByteArray& bytes) const {
    QDir().mkpath(QFileInfo(file(name)).absolutePath());
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

bool TempAppFolder::exists(const QString& name) const {
    return QFileInfo::exists(file(name));
}

QStringList TempAppFolder::entries(const QString& subfolder) const {
    QStringList names = QDir(subfolder.isEmpty() ? path() : file(subfolder))
                            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    // SQLite's rollback journal is there only while the translation memory writes, on a thread of
    // its own: no file the program leaves, and not one a check of what was created can wait for.
    names.removeIf([](const QString& name) { return name.endsWith(QStringLiteral("-journal")); });
    names.sort();
    return names;
}
