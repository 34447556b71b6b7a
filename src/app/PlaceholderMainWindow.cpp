#include "app/PlaceholderMainWindow.h"

#include "config/Startup.h"
#include "support/MessageBoxes.h"

#include <QCloseEvent>

namespace contivo {

PlaceholderMainWindow::PlaceholderMainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormContivoMain"));
    setWindowTitle(QStringLiteral("Contivo - Categorie"));
    resize(800, 600);
    if (SettingsReady())
        BindFormPlacement(GetSettings(), *this);
}

void PlaceholderMainWindow::closeEvent(QCloseEvent* event)
{
    if (ShowMessageBoxOwned(this, QStringLiteral("Uscire da Contivo?"), QStringLiteral("Conferma chiusura"),
                            MB_YESNO | MB_ICONQUESTION)
        == IDYES)
        event->accept();
    else
        event->ignore();
}

}
