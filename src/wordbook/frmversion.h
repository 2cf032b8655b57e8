// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;
class VersionForm;

// The version box, shown modally from the help menu.
class FrmVersion {
public:
    explicit FrmVersion(QWidget* parent);
    ~FrmVersion();
    int exec();
    VersionForm* form() const { return m_form; }

private:
    void Command1Click();
    VersionForm* m_form;
};
