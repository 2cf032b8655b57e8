// SPDX-License-Identifier: GPL-3.0-or-later
#include "failure.h"

RuntimeFailure::RuntimeFailure(int number, const QString& detail)
    : std::runtime_error(describe(number).toStdString()), m_number(number),
      m_description(detail.isEmpty()
                        ? describe(number)
                        : describe(number) + QStringLiteral(" (") + detail + QLatin1Char(')')) {}

QString RuntimeFailure::describe(int number) {
    switch (number) {
    case failure::InvalidCall:
        return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case failure::Overflow:
        return QStringLiteral("オーバーフローしました。");
    case failure::OutOfMemory:
        return QStringLiteral("メモリが不足しています。");
    case failure::SubscriptOutOfRange:
        return QStringLiteral("インデックスが有効範囲にありません。");
    case failure::TypeMismatch:
        return QStringLiteral("型が一致しません。");
    case failure::BadFileName:
        return QStringLiteral("ファイル名または番号が不正です。");
    case failure::FileNotFound:
        return QStringLiteral("ファイルが見つかりません。");
    case failure::DeviceIo:
        return QStringLiteral("デバイス I/O エラーです。");
    case failure::FileExists:
        return QStringLiteral("既に同名のファイルが存在しています。");
    case failure::DiskFull:
        return QStringLiteral("ディスクの空き容量が不足しています。");
    case failure::InputPastEnd:
        return QStringLiteral("ファイルにこれ以上データがありません。");
    case failure::PermissionDenied:
        return QStringLiteral("書き込みできません。");
    case failure::PathFileAccess:
        return QStringLiteral("パス名が無効です。");
    case failure::PathNotFound:
        return QStringLiteral("パスが見つかりません。");
    default:
        return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}
