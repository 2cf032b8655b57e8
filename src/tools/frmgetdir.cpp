// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmgetdir.h"

#include "core/settings/session.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/getdirform.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

FrmGetDir::FrmGetDir(PickPurpose purpose, PickReceiver* receiver, QWidget* parent)
    : m_purpose(purpose), m_receiver(receiver), m_form(new GetDirForm(parent)) {
    connect(m_form->Drive1, &QComboBox::activated, this, [this] { Drive1Change(); });
    connect(m_form->Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { Dir1Change(); });
    // The folders load in the background, and every folder above the picked one that is read
    // moves it down the tree: it is brought back into view each time, since until then the tree
    // cannot know where it lies.
    connect(m_form->Dir1Model, &QFileSystemModel::directoryLoaded, this,
            [this](const QString& dir) {
                const QModelIndex current = m_form->Dir1->currentIndex();
                if (!current.isValid())
                    return;
                const QString path = m_form->Dir1Model->filePath(current);
                if (m_followPick && path.startsWith(dir.endsWith(u'/') ? dir : dir + u'/'))
                    bringCurrentIntoView();
            });
    // Rows arrive and are sorted after a folder is reported loaded, moving the picked folder
    // again: it is followed until the user scrolls the tree.
    const auto follow = [this] {
        if (m_followPick)
            bringCurrentIntoView();
    };
    connect(m_form->Dir1Model, &QFileSystemModel::layoutChanged, this, follow);
    connect(m_form->Dir1Model, &QFileSystemModel::rowsInserted, this, follow);
    connect(m_form->Dir1->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_followPick = false; });
    connect(m_form->cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(m_form->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
}

FrmGetDir::~FrmGetDir() {
    delete m_form;
}

int FrmGetDir::exec() {
    formLoad();
    // A tree that is not shown yet has no size to scroll in.
    QTimer::singleShot(0, this, [this] { bringCurrentIntoView(); });
    return m_form->exec();
}

void FrmGetDir::bringCurrentIntoView() {
    const QModelIndex current = m_form->Dir1->currentIndex();
    if (!current.isValid())
        return;
    m_form->Dir1->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    m_form->Dir1->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

// The volume that holds folder: the mounted root with the longest matching path.
static QString volumeOf(const QString& folder, const QStringList& roots) {
    QString best = QStringLiteral("/");
    for (const QString& root : roots)
        if ((folder == root || folder.startsWith(root.endsWith(u'/') ? root : root + u'/')) &&
            root.size() > best.size())
            best = root;
    return best;
}

void FrmGetDir::formLoad() {
    guarded(reportOnly(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error243"), [this] {
        QStringList roots{QStringLiteral("/")};
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
            if (volume.isValid() && !roots.contains(volume.rootPath()))
                roots << volume.rootPath();
        QComboBox* drives = m_form->Drive1;
        drives->blockSignals(true);
        drives->clear();
        drives->addItems(roots);
        const QString start = QDir(session().appFolder).canonicalPath();
        m_volume = volumeOf(start, roots);
        drives->setCurrentIndex(drives->findText(m_volume));
        drives->blockSignals(false);
        showVolume(m_volume);
        setFolder(start);
        m_form->Dir1->setFocus();
    });
}

void FrmGetDir::showVolume(const QString& root) {
    m_form->Dir1Model->setRootPath(root);
    m_form->Dir1->setRootIndex(m_form->Dir1Model->index(root));
}

void FrmGetDir::setFolder(const QString& folder) {
    const QModelIndex index = m_form->Dir1Model->index(folder);
    if (index.isValid()) {
        // Shown open, so the books in it are in view.
        m_form->Dir1->setCurrentIndex(index);
        m_form->Dir1->expand(index);
        m_form->Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
    // The picked folder follows the tree; a programmatic pick of the same row runs it once too.
    if (m_path != QDir::cleanPath(folder))
        Dir1Change();
    if (m_path != QDir::cleanPath(folder)) {
        m_path = QDir::cleanPath(folder);
        m_name = pickerrules::folderName(m_path);
        m_form->lblBookName->setText(m_name);
    }
}

void FrmGetDir::Dir1Change() {
    guarded(reportOnly(u"ﾃﾞｨﾚｸﾄﾘ選択時", "Error241"), [this] {
        const QModelIndex index = m_form->Dir1->currentIndex();
        if (!index.isValid())
            return;
        m_path = QDir::cleanPath(m_form->Dir1Model->filePath(index));
        m_name = pickerrules::folderName(m_path);
        m_form->lblBookName->setText(m_name);
    });
}

void FrmGetDir::Drive1Change() {
    guarded(reportOnly(u"ﾄﾞﾗｲﾌﾞ選択時", "Error242"), [this] {
        const QString root = m_form->Drive1->currentText();
        for (;;) {
            const QFileInfo info(root);
            if (info.isDir() && info.isReadable() && info.isExecutable()) {
                m_volume = root;
                showVolume(root);
                setFolder(root);
                return;
            }
            const Answer answer =
                info.exists() ? showMessage(QStringLiteral("ﾌﾛｯﾋﾟｰﾃﾞｨｽｸをﾄﾞﾗｲﾌﾞに挿入してください"),
                                            QStringLiteral("ﾃﾞｨｽｸｴﾗｰ"), MessageButtons::RetryCancel,
                                            MessageIcon::Exclamation)
                              : showMessage(QStringLiteral("ﾄﾞﾗｲﾌﾞの準備が出来ていません"),
                                            QStringLiteral("ﾃﾞﾊﾞｲｽｴﾗｰ"),
                                            MessageButtons::RetryCancel, MessageIcon::Exclamation);
            if (answer != Answer::Retry) {
                // Back to the volume the tree still shows.
                QSignalBlocker block(m_form->Drive1);
                m_form->Drive1->setCurrentIndex(m_form->Drive1->findText(m_volume));
                return;
            }
        }
    });
}

void FrmGetDir::cmdOKClick() {
    guarded(terminating(u"ＯＫﾎﾞﾀﾝｸﾘｯｸ時", "Error240"), [this] {
        // A folder is taken as a book only when it holds a meanings file; the picker writes
        // nothing into the folders it looks at.
        if (m_path.isEmpty() || !pickerrules::isBookFolder(m_path)) {
            showMessage(QStringLiteral("選択されたﾌｫﾙﾀﾞはVerbantaのﾌﾞｯｸではないようです。\r\n"
                                       "もう一度ﾌｫﾙﾀﾞを選択し直してください"),
                        QStringLiteral("ﾌﾞｯｸの選択ｴﾗｰ"));
            return;
        }
        const QString mixed = pickerrules::mixedRefusal(m_purpose, m_path);
        if (!mixed.isEmpty()) {
            showMessage(mixed, QStringLiteral("ﾌﾞｯｸの選択ｴﾗｰ"));
            return;
        }
        const QString refusal =
            pickerrules::sameBookRefusal(m_purpose, m_path, m_receiver->mergePicks());
        if (!refusal.isEmpty()) {
            showMessage(refusal);
            return;
        }
        m_receiver->acceptPick(m_purpose, m_path, m_name);
        m_form->accept();
    });
}

void FrmGetDir::cmdCancelClick() {
    guarded(reportOnly(u"閉じる時", "Error239"), [this] {
        m_path.clear();
        m_name.clear();
        m_form->reject();
    });
}
