#include "app/Startup.h"

#include "app/TFormContivoMain.h"
#include "app/TFormNuovaCategoria.h"
#include "app/TerminationSignals.h"
#include "base/AppInfo.h"
#include "platform/SingleInstance.h"
#include "storage/TDC.h"
#include "support/MessageBoxes.h"

#include <QApplication>
#include <exception>
#include <memory>

namespace contivo {
namespace {

/// The application's standard display of an error that reached the top of a step.
void ShowException(const std::exception& e)
{
    ShowMessageBox(QString::fromLocal8Bit(e.what()), QString::fromLatin1(kAppTitle), MB_OK | MB_ICONERROR);
}

/// The data module's creation handler (folders, settings stores, key file, movement types). Its
/// errors are shown and start-up goes on.
void CreateDataModule(TDC& dc)
{
    try {
        dc.DCCreate();
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

}

QString SingleInstanceMessage(int code)
{
    return QStringLiteral("L'applicativo risulta già in uso (%1)").arg(code);
}

int RunContivo(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Held until the process ends; the kernel frees it however the process ends.
    static platform::SingleInstance instance(platform::SingleInstance::defaultName());
    const int code = instance.acquire();
    if (code != 0) {
        ShowMessageBox(SingleInstanceMessage(code), QStringLiteral("Verifica singola istanza"), MB_OK | MB_ICONWARNING);
        return 0;
    }
    try {
        QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
        InstallTerminationHandler();
        // Created in this order and destroyed in the reverse order when the loop ends.
        TDC dataModule;
        CreateDataModule(dataModule);
        TFormContivoMain mainWindow(dataModule);
        TFormNuovaCategoria categoryDialog(&mainWindow);
        mainWindow.setCategoryDialog(&categoryDialog);
        mainWindow.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return 0;
}

}
