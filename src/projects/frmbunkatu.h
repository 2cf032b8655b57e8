// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class BunkatuForm;
class QWidget;
struct SplitSettings;

// The split settings dialog: edits the settings of the sentence split for the rest of the run.
class FrmBunkatu : public QObject {
    Q_OBJECT
public:
    FrmBunkatu(SplitSettings& settings, QWidget* parent = nullptr);
    ~FrmBunkatu() override;

    BunkatuForm* form() const { return m_form; }
    // Starts the dialog and shows it modally.
    int exec();

    void formLoad();
    void Check1Click();
    void cmdOKClick();
    void cmdCancelClick();

private:
    void enableDecorations(bool on);

    SplitSettings& m_settings;
    BunkatuForm* m_form;
};
