#include "platform/SystemFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace contivo::platform {
namespace {

QString cleanFolder(const QString& path)
{
    QString p = QDir::cleanPath(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString userDataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return cleanFolder(env);
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : cleanFolder(home + QStringLiteral("/.local/share"));
}

QString sharedDataFolder()
{
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isAbsolutePath(d))
            continue;
        const QFileInfo info(d);
        if (info.isDir() && info.isWritable())
            return cleanFolder(d);
    }
    return QStringLiteral("/var/lib");
}

}

QString specialFolderPath(int id)
{
    switch (id) {
    case kFolderUserAppData:
        return userDataHome();
    case kFolderSharedAppData:
        return sharedDataFolder();
    case kFolderDocuments: {
        const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return docs.isEmpty() ? QString() : cleanFolder(docs);
    }
    default:
        return {};
    }
}

}
