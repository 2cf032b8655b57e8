// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/appicon.h"
#include "platform/fontsubstitution.h"
#include "platform/qttranslation.h"
#include "wordbook/program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbanta"));
    QApplication::setOrganizationName(QStringLiteral("Verbanta"));
    installApplicationIcon();
    registerFontSubstitutions();
    useJapaneseInterface();

    Program program;
    if (!program.start())
        return 0;
    return app.exec();
}
