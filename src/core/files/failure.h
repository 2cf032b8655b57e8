// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// A run-time failure the user is told about by number and description, in the manner of the
// classic run-time errors (53 file not found, 62 input past end of file, ...). Handlers catch it
// in the error guard and show the report box.
class RuntimeFailure : public std::runtime_error {
public:
    RuntimeFailure(int number, const QString& detail = {});

    int number() const { return m_number; }
    // The Japanese description of the number, with the detail (a file name, a line) after it.
    QString description() const { return m_description; }

    static QString describe(int number);

private:
    int m_number;
    QString m_description;
};

namespace failure {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int DeviceIo = 57;
constexpr int FileExists = 58;
constexpr int DiskFull = 61;
constexpr int InputPastEnd = 62;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
} // namespace failure
