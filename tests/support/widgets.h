// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// The widget named name below root (its objectName), or null with a test failure.
template <class T> T* child(QObject* root, const QString& name) {
    T* found = root ? root->findChild<T*>(name) : nullptr;
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
}

// Runs body once the modal dialog named objectName is up: a modal dialog's exec() does not return
// until it closes, so whatever drives it must be queued before it opens. A loaded machine may take
// long to open it; only a dialog that never comes fails.
inline void whenShown(const QString& objectName, std::function<void(QWidget*)> body,
                      QDeadlineTimer deadline = QDeadlineTimer(60000)) {
    QTimer::singleShot(5, [objectName, body, deadline] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->objectName() == objectName) {
            body(w);
            return;
        }
        if (!deadline.hasExpired()) {
            whenShown(objectName, body, deadline);
            return;
        }
        ADD_FAILURE() << "dialog " << objectName.toStdString() << " never came";
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
    });
}
