// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>

class FrmMain;
class SingleInstance;
class FrmTranslatorL;

// The program's windows from start to end: the start-up sequence, the main window, and the
// hand-over to the translation editor and back.
class Program : public QObject {
    Q_OBJECT
public:
    Program();
    ~Program() override;

    // Runs the start-up sequence. False when the program is to end at once (another instance
    // runs, the book is missing, no book is in use).
    bool start();

    FrmMain* main() const { return m_main.get(); }
    FrmTranslatorL* translator() const { return m_translator.get(); }

private:
    bool readSettings();
    // Reads curFData.vtd and the palette of its set; why the book cannot be used, or empty.
    QString readCurrentBookAndSet();
    bool showMainWindow();
    void openTranslator();
    void returnFromTranslator();

    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<FrmMain> m_main;
    std::unique_ptr<FrmTranslatorL> m_translator;
};
