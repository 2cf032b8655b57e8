// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pickerrules.h"

#include <QObject>
#include <QString>

class GetDirForm;
class QWidget;

// What the book folder picker hands its result to: the import/export and merge windows.
class PickReceiver {
public:
    virtual ~PickReceiver() = default;
    // The merge folders picked so far, for the same-book rules.
    virtual MergePicks mergePicks() const { return {}; }
    virtual void acceptPick(PickPurpose purpose, const QString& path, const QString& name) = 0;
};

// The book folder picker: browse the mounted volumes, take a folder that holds a book.
class FrmGetDir : public QObject {
    Q_OBJECT
public:
    FrmGetDir(PickPurpose purpose, PickReceiver* receiver, QWidget* parent = nullptr);
    ~FrmGetDir() override;

    GetDirForm* form() const { return m_form; }
    int exec();

    void formLoad();
    void Drive1Change();
    void Dir1Change();
    void cmdOKClick();
    void cmdCancelClick();

    // Shows folder in Dir1 and makes it the picked one.
    void setFolder(const QString& folder);
    const QString& path() const { return m_path; }
    const QString& name() const { return m_name; }

private:
    void showVolume(const QString& root);
    // Scrolls the tree to the picked folder and selects it.
    void bringCurrentIntoView();

    PickPurpose m_purpose;
    PickReceiver* m_receiver;
    GetDirForm* m_form;
    QString m_path;
    QString m_name;
    QString m_volume;
    bool m_followPick = true;
};
