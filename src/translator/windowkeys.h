// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FrmTranslatorL;
class QKeyEvent;

// The editor window's own keys, seen before the focused control: the word pane's buttons on the
// function keys, the sentence jump, the focus cycle, the spinner and the stock box. The rows are
// tried in order and the first one that matches acts.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    explicit WindowKeys(FrmTranslatorL& window);

    // True when a row took the key, so the focused control does not act on it a second time.
    bool handle(const QKeyEvent& event);

private:
    FrmTranslatorL& m_window;
};
