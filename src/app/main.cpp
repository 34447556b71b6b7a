#include "base/AppInfo.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(contivo::kAppTitle));
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Contivo - Categorie"));
    w.resize(800, 600);
    w.show();
    app.exec();
    return 0;
}
