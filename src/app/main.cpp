#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "platform/fontsubstitution.h"
#include "platform/singleinstance.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbanta"));
    QApplication::setOrganizationName(QStringLiteral("Verbanta"));
    registerFontSubstitutions();

    int status = 0;
    guarded({QStringLiteral("ﾌｫｰﾑﾛｰﾄﾞ時"), QStringLiteral("Error123"), GuardKind::Terminating}, [&] {
        SingleInstance instance(appfolder::path());
        if (!instance.acquire()) {
            showMessage(QStringLiteral("すでに Verbanta は起動しています。"));
            return;
        }
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Verbanta"));
        window.resize(640, 480);
        window.show();
        status = app.exec();
    });
    return status;
}
