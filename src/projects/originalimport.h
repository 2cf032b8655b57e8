// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FrmTranslatorL;

// Importing a file into the editor's original pane; the file also becomes the original the next
// new project is offered.
class OriginalImport : public QObject {
    Q_OBJECT
public:
    explicit OriginalImport(FrmTranslatorL& window, QObject* parent = nullptr);

    void mnuGetOrgFileClick();

private:
    FrmTranslatorL& m_window;
};
