// SPDX-License-Identifier: GPL-3.0-or-later
#include "getdirform.h"

#include "formparts.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

using formparts::named;

GetDirForm::GetDirForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmGetDir"));
    setWindowTitle(QStringLiteral("ﾌﾞｯｸの選択"));
    Drive1 = new QComboBox(this);
    named(Drive1, "Drive1", {10, 10, 300, 26});
    Dir1 = new QTreeView(this);
    named(Dir1, "Dir1", {10, 42, 300, 260});
    Dir1Model = new QFileSystemModel(Dir1);
    Dir1Model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    Dir1->setModel(Dir1Model);
    for (int column = 1; column < Dir1Model->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->header()->hide();
    lblBookName = new QLabel(this);
    named(lblBookName, "lblBookName", {10, 308, 300, 22});
    lblBookName->setFrameShape(QFrame::Panel);
    lblBookName->setFrameShadow(QFrame::Sunken);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    named(cmdOK, "cmdOK", {110, 338, 96, 28});
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    named(cmdCancel, "cmdCancel", {214, 338, 96, 28});
    cmdOK->setDefault(true);
    setFixedSize(320, 376);
    Drive1->setAccessibleName(QStringLiteral("ﾄﾞﾗｲﾌﾞ"));
    Dir1->setAccessibleName(QStringLiteral("ﾌｫﾙﾀﾞ"));
    formparts::nameForScreenReaders(this);
}
