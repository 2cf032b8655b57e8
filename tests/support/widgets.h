#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

// The widget named name below root (its objectName), or null with a test failure.
template <class T> T* child(QObject* root, const QString& name) {
    T* found = root ? root->findChild<T*>(name) : nullptr;
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
}
