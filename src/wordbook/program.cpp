// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/history/bookbackup.h"
#include "core/settings/booklist.h"
#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "core/settings/syncsettings.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "frmmain.h"
#include "platform/appearance.h"
#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/singleinstance.h"
#include "projects/editorcommands.h"
#include "tools/backupbeforechange.h"
#include "translator/editorexit.h"
#include "translator/frmtranslatorl.h"
#include "translator/frmtrsplash.h"
#include "ui/mainform.h"
#include "ui/splashform.h"
#include "ui/wordlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <utility>

namespace {

// Rewrites of the program's own files that a kill interrupted leave temporaries behind, in the
// application folder and in its book and recovery folders, and interrupted backups leave their
// half-made copies; a new start clears them away.
void removeLeftoverTemporaries(const QString& appFolder) {
    removeTemporaryLeftovers(appFolder);
    const QDir dir(appFolder);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        removeTemporaryLeftovers(dir.filePath(sub));
    BookBackups::removeInterrupted(appFolder);
}

// While one window makes way for another there are moments with no window of the program in
// sight (a message box closing while the editor loads): the program must not take such a moment
// for its end.
class QuitSuspended {
public:
    QuitSuspended() : m_was(QGuiApplication::quitOnLastWindowClosed()) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }
    ~QuitSuspended() { QGuiApplication::setQuitOnLastWindowClosed(m_was); }
    QuitSuspended(const QuitSuspended&) = delete;
    QuitSuspended& operator=(const QuitSuspended&) = delete;

private:
    bool m_was;
};

} // namespace

Program::Program() = default;

Program::~Program() = default;

bool Program::start() {
    bool ready = false;
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error123"), [&] {
        Session& s = session();
        s.appFolder = appfolder::path();
        bookmanifest::setKept(SyncSettings::read(s.appFolder).enabled);
        m_instance = std::make_unique<SingleInstance>(s.appFolder);
        switch (m_instance->acquire()) {
        case SingleInstance::Result::Acquired:
            removeLeftoverTemporaries(s.appFolder);
            break;
        case SingleInstance::Result::HeldByAnother:
            showMessage(QStringLiteral("すでに Verbanta は起動しています。"));
            return;
        case SingleInstance::Result::HeldOnAnotherHost:
            if (showMessage(
                    QStringLiteral("このフォルダは別の端末（%1）で開かれている可能性があります。"
                                   "\r\n両方で開くと、片方の変更が失われることがあります。"
                                   "\r\n\r\nこのまま起動しますか？")
                        .arg(m_instance->otherHost()),
                    AppTitle, MessageButtons::YesNo, MessageIcon::Exclamation) != Answer::Yes)
                return;
            if (m_instance->takeOver() != SingleInstance::Result::Acquired) {
                showMessage(m_instance->errorString(), AppTitle, MessageButtons::Ok,
                            MessageIcon::Critical);
                return;
            }
            removeLeftoverTemporaries(s.appFolder);
            break;
        case SingleInstance::Result::Failed:
            showMessage(m_instance->errorString(), AppTitle, MessageButtons::Ok,
                        MessageIcon::Critical);
            return;
        }
        SplashForm splash;
        splash.show();
        QCoreApplication::processEvents();
        if (!readSettings())
            return;
        // Without a book the book chooser comes first, and the start-up window makes way for it.
        if (!session().bookInUse)
            splash.hide();
        ready = showMainWindow();
    });
    return ready;
}

bool Program::readSettings() {
    Session& s = session();
    const QString folder = s.appFolder;
    if (QFile::exists(folder + u'/' + settingsfile::DisplaySettings)) {
        if (!guarded(terminating(u"設定情報読取時", "Error188"),
                     [&] { s.display = ReadDisplaySettings(folder); }))
            return false;
    } else {
        s.display = SetDefaultDisplaySettings();
        if (!guarded(terminating(u"設定情報上書き時", "Error186"),
                     [&] { WriteDisplaySettings(folder, s.display); }))
            return false;
    }
    s.paletteFont = SetDefaultPaletteFont();
    if (QFile::exists(folder + u'/' + settingsfile::PaletteFont)) {
        // A damaged palette font is reported and the defaults stay: the program can go on.
        guarded(reportOnly(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ情報読み込み時", "Error212"),
                [&] { s.paletteFont = ReadPaletteFont(folder); });
    } else {
        guarded(reportOnly(u"ｲﾆｼｬﾙﾊﾟﾚｯﾄのﾌｫﾝﾄ情報書き込み時", "Error213"),
                [&] { WritePaletteFont(folder, s.paletteFont); });
    }
    if (QFile::exists(folder + u'/' + settingsfile::CurrentBook)) {
        const QString problem = readCurrentBookAndSet();
        s.bookInUse = problem.isEmpty();
        if (!s.bookInUse) {
            // The main window's load step then opens the book chooser.
            s.palette = SetDefaultLanguageSet();
            showMessage(problem, QStringLiteral("ブックエラー"));
        }
    } else {
        // A first run, or no book left: only what is missing is written, so the user's sets
        // survive a lost curFData.vtd.
        if (!guarded(terminating(u"ﾃﾞﾌｫﾙﾄ値の格納時", "Error191"),
                     [&] { s.palette = SetDefaultLanguageSet(); }))
            return false;
        if (!languageset::fileExists(folder, languageset::DefaultSetName))
            languageset::write(folder, languageset::DefaultSetName, s.palette);
        if (QFile::exists(folder + u'/' + languageset::ListFile)) {
            s.setList = languageset::readList(folder).items;
        } else {
            s.setList = {languageset::DefaultSetName};
            languageset::writeList(folder, s.setList);
        }
        s.bookInUse = false;
    }
    return true;
}

QString Program::readCurrentBookAndSet() {
    Session& s = session();
    const QString file = settingsfile::CurrentBook;
    try {
        s.current = readCurrentBook(s.appFolder);
    } catch (const RuntimeFailure& e) {
        s.current = {};
        return file + QStringLiteral("を読み取れません：") + e.description();
    }
    // The names lead to a folder and a file: a name that could not have been typed is not used.
    for (const auto& [name, kind] : {std::pair{s.current.bookName, names::Kind::Book},
                                     std::pair{s.current.setName, names::Kind::Set}}) {
        const QString why = names::refusal(name, kind);
        if (!why.isEmpty()) {
            s.current = {};
            return file + QStringLiteral("の「") + name + QStringLiteral("」は使えません：") + why;
        }
    }
    if (!languageset::fileExists(s.appFolder, s.current.setName))
        return QStringLiteral("ﾌﾞｯｸ『") + s.current.bookName + QStringLiteral("』の言語ｾｯﾄ『") +
               s.current.setName + QStringLiteral("』のﾌｧｲﾙが見当たりません。");
    try {
        s.palette = languageset::read(s.appFolder, s.current.setName);
    } catch (const RuntimeFailure& e) {
        return QStringLiteral("ﾌﾞｯｸ『") + s.current.bookName + QStringLiteral("』の言語ｾｯﾄ『") +
               s.current.setName + QStringLiteral("』のﾌｧｲﾙを読み取れません：") + e.description();
    }
    return {};
}

bool Program::showMainWindow() {
    m_main = std::make_unique<FrmMain>();
    connect(m_main.get(), &FrmMain::handedOver, this, &Program::openTranslator);
    if (m_main->formLoad() == FrmMain::LoadResult::EndProgram)
        return false;
    QCoreApplication::processEvents();
    m_main->ApplyDisplaySettings();
    m_main->ApplyPaletteFont();
    MainForm* form = m_main->form();
    form->setWindowTitle(QStringLiteral("Verbanta - ") + session().current.bookName);
    form->show();
    if (m_main->listModel()->rowCount() > 0) {
        m_main->listModel()->setChecked(0, true);
        m_main->listModel()->setChecked(0, false);
    }
    form->activateWindow();
    form->txtInput->setFocus();
    appearance::setInputMethodMode(form->txtInput, session().display.input.imeMode);
    return true;
}

void Program::openTranslator() {
    // The close event that hands over can arrive once more while the editor loads; the first
    // one has already taken the main window away.
    if (!m_main)
        return;
    // The main window is inside its own close event here; it goes once that is over.
    m_main.release()->deleteLater();
    const QuitSuspended handingOver;
    m_translator = frmtrsplash::openEditor();
    if (!m_translator)
        return;
    EditorCommands::attach(*m_translator);
    // Leaving the editor compacts the book as closing the main window does: with a backup first.
    m_translator->exits()->hooks().writeBack = [](Book& book) { writeBackWithBackup(book); };
    connect(m_translator.get(), &FrmTranslatorL::returnRequested, this,
            &Program::returnFromTranslator);
    connect(m_translator.get(), &FrmTranslatorL::endRequested, this,
            [] { QCoreApplication::quit(); });
}

void Program::returnFromTranslator() {
    const QuitSuspended handingBack;
    guarded(terminating(u"設定情報読取時", "Error188"), [this] {
        // The file, not memory, is what the main window comes back with.
        session().display = ReadDisplaySettings(session().appFolder);
        if (!showMainWindow())
            QCoreApplication::quit();
        m_translator.release()->deleteLater();
    });
}
