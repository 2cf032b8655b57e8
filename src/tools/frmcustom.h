// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/settings.h"

#include <QObject>
#include <functional>

class CustomForm;
class QComboBox;
class QLabel;
class QWidget;

// The appearance dialog. Changes are shown on its samples at once; OK hands them to the main
// window and writes the settings file, Cancel reads the file back and forgets them.
class FrmCustom : public QObject {
    Q_OBJECT
public:
    // apply pushes the session's display settings to the main window.
    explicit FrmCustom(std::function<void()> apply, QWidget* parent = nullptr);
    ~FrmCustom() override;

    CustomForm* form() const { return m_form; }
    // The settings as edited so far.
    const DisplaySettings& values() const { return m_values; }
    int exec();

    void formLoad();
    void fontClick(int group);
    void colorClick(int group);
    void comboClick(int group);
    void windowColorClick(qint32 DisplaySettings::*setting);
    void cmdOKClick();
    void cmdCancelClick();
    void Command1Click();

private:
    FontGroup& group(int index);
    QLabel* sampleOf(int group) const;
    QComboBox* comboOf(int group) const;
    void paintSamples();

    std::function<void()> m_apply;
    CustomForm* m_form;
    DisplaySettings m_values;
};
