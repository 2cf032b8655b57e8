// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmselectpaletteset.h"

#include "core/files/atomicfile.h"
#include "core/settings/booklist.h"
#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "frmlangset.h"
#include "frmselectfolder.h"
#include "listreport.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/writerefusal.h"
#include "ui/selectfolderform.h"
#include "ui/selectpalettesetform.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <sys/stat.h>

FrmSelectPaletteSet::FrmSelectPaletteSet(FrmSelectFolder* chooser, BookHost* main)
    : m_chooser(chooser), m_main(main), m_form(new SelectPaletteSetForm(chooser->form())) {
    connect(m_form->cmdSettei, &QPushButton::clicked, this, [this] { cmdSetteiClick(); });
    connect(m_form->cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(m_form->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
}

FrmSelectPaletteSet::~FrmSelectPaletteSet() {
    delete m_form;
}

int FrmSelectPaletteSet::exec() {
    formLoad();
    QTimer::singleShot(0, m_form, [this] {
        guarded(terminating(u"ﾌｫｰﾑｱｸﾃｨﾌﾞ時", "Error121"), [this] { m_form->Text1->setFocus(); });
    });
    return m_form->exec();
}

void FrmSelectPaletteSet::fillSets(const QString& text) {
    m_form->Combo1->clear();
    m_form->Combo1->addItems(session().setList);
    int i = m_form->Combo1->findText(text);
    if (i < 0 && !text.isEmpty()) {
        m_form->Combo1->addItem(text);
        i = m_form->Combo1->count() - 1;
    }
    m_form->Combo1->setCurrentIndex(i);
}

void FrmSelectPaletteSet::formLoad() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error122"), [this] {
        Session& s = session();
        s.setList.clear();
        m_form->Text1->clear();
        m_form->Combo1->clear();
        if (QFile::exists(s.appFolder + u'/' + languageset::ListFile)) {
            const ListRead<QString> sets = languageset::readList(s.appFolder);
            s.setList = sets.items;
            reportSkippedEntries(languageset::ListFile, sets.problems);
            fillSets(s.setList.isEmpty() ? QString() : s.setList.last());
        } else {
            fillSets(s.current.setName);
        }
    });
}

void FrmSelectPaletteSet::cmdSetteiClick() {
    guarded(terminating(u"言語ｾｯﾄ設定時", "Error120"), [this] {
        const QString loaded = m_form->Combo1->currentText();
        FrmLangSet editor(FrmLangSet::Origin::NewBook, loaded, m_main, m_form);
        editor.exec();
        // Only a saved set is offered: a name typed in the editor and never saved has no file.
        const QString chosen = editor.setName();
        fillSets(session().setList.contains(chosen) ? chosen : loaded);
    });
}

void FrmSelectPaletteSet::cmdOKClick() {
    guarded(terminating(u"OK時", "Error119"), [this] {
        const QString typed = m_form->Text1->text();
        const QString setName = m_form->Combo1->currentText();
        if (typed.isEmpty()) {
            showMessage(QStringLiteral("ﾌﾞｯｸ名を入力して下さい"), QStringLiteral("ﾌﾞｯｸ名入力ｴﾗｰ"));
            return;
        }
        if (setName.isEmpty()) {
            showMessage(QStringLiteral("作成したﾌﾞｯｸで使用する言語ｾｯﾄを選択して下さい"),
                        QStringLiteral("言語ｾｯﾄ選択確認"));
            return;
        }
        const QString refusal = names::refusalForNew(typed, names::Kind::Book);
        if (!refusal.isEmpty()) {
            showMessage(refusal + QStringLiteral("\r\n別の名前を入力して下さい。"),
                        QStringLiteral("ﾌﾞｯｸ名入力ｴﾗｰ"));
            return;
        }
        Session& s = session();
        // A set that was never saved has no file: a book using it could not be opened.
        if (!languageset::fileExists(s.appFolder, setName)) {
            showMessage(QStringLiteral("言語ｾｯﾄ『") + setName +
                            QStringLiteral("』は保存されていないため使えません。\r\n") +
                            QStringLiteral("作成したﾌﾞｯｸで使用する言語ｾｯﾄを選択して下さい"),
                        QStringLiteral("言語ｾｯﾄ選択確認"));
            return;
        }
        // The folder, the list files and the messages all use the name as it reads back from
        // the list files.
        const QString name = names::stored(typed);
        QDir app(s.appFolder);
        if (app.exists(name)) {
            showMessage(QStringLiteral("『") + name +
                            QStringLiteral("』という名前のﾌﾞｯｸ（ﾌｫﾙﾀﾞ）は既にあります。\r\n別の名前"
                                           "を入力して下さい。"),
                        QStringLiteral("ﾌﾞｯｸ名入力ｴﾗｰ"));
            return;
        }
        // A disk that refuses the folder or the list leaves no trace of the book and the dialog
        // open with the name typed, so the user can make room and press OK again.
        const QString folder = app.filePath(name);
        try {
            if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0)
                diskio::fail(errno, folder);
            try {
                m_chooser->addCreatedBook({name, setName});
            } catch (...) {
                app.rmdir(name);
                throw;
            }
        } catch (const RuntimeFailure& failure) {
            if (!isWriteRefusal(failure))
                throw;
            reportWriteRefusal(QStringLiteral("ﾌﾞｯｸの作成"), failure);
            return;
        }
        // The book is made and listed; when it cannot be recorded as the one in use, the one
        // recorded stays in use and the new book can still be chosen from the list.
        const CurrentBook previous = s.current;
        s.current = {name, setName};
        try {
            writeCurrentBook(s.appFolder, s.current);
        } catch (const RuntimeFailure& failure) {
            s.current = previous;
            if (!isWriteRefusal(failure))
                throw;
            reportWriteRefusal(QStringLiteral("使用するﾌﾞｯｸの記録"), failure);
        }
        showMessage(QStringLiteral("新しいﾌﾞｯｸｾｯﾄを作成しました"),
                    QStringLiteral("新規ﾌﾞｯｸｾｯﾄ作成"));
        m_chooser->form()->cboFldName->setCurrentIndex(m_chooser->form()->cboFldName->count() - 1);
        m_form->accept();
    });
}

void FrmSelectPaletteSet::cmdCancelClick() {
    guarded(terminating(u"ｷｬﾝｾﾙ時", "Error118"), [this] { m_form->reject(); });
}
