// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FrmTranslatorL;
class TransOptionForm;

// The editor's options: whether the original pane is used, saved and editable, and the switches of
// the quick search. Every box but the first acts at once and stays in force when the dialog is
// cancelled; the first acts on OK.
class FrmTransOption : public QObject {
    Q_OBJECT
public:
    explicit FrmTransOption(FrmTranslatorL& window);
    ~FrmTransOption() override;

    TransOptionForm* form() const { return m_form; }
    // Loads the dialog and shows it modally.
    void exec();

    void formLoad();
    void Check1Click();
    void Check2Click();
    void Check3Click();
    void Check4Click();
    void Check5Click();
    void Check6Click();
    void Command1Click();
    void Command2Click();

private:
    void showOriginalPane(bool shown);

    FrmTranslatorL& m_window;
    TransOptionForm* m_form;
};
