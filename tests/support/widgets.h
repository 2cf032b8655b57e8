#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

// The widget named name below root; fails the test when there is none.
template <class T>
T* child(QObject* root, const QString& name) {
    T* found = root->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
}
