#include "support/SystemHelpers.h"

#include "platform/SystemFolders.h"
#include "support/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <cerrno>
#include <cstring>

namespace contivo {

QString SystemErrorMessage(int code)
{
    if (code == kErrorNoAssociation)
        return QStringLiteral("No application is associated with the specified file for this operation.");
    return QString::fromLocal8Bit(std::strerror(code));
}

void ShowSystemError(QWidget* owner, const QString& title, const QString& name, int code)
{
    ShowMessageBoxOwned(owner,
        QStringLiteral("Trying to open \"") + name + QStringLiteral("\"\r\n") + SystemErrorMessage(code),
        title, MB_OK | MB_ICONWARNING);
}

namespace {

QStringList envDirs(const char* variable, const QString& fallback)
{
    QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        value = fallback;
    QStringList dirs;
    for (const QString& dir : value.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        dirs << dir;
    return dirs;
}

QString envDir(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? fallback : value;
}

/// The XDG data folders, the user's first.
QStringList dataDirs()
{
    return QStringList { envDir("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share")) }
    + envDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

/// The desktop-entry ids listed for the MIME type in the group of a mimeapps.list-style file.
QStringList listedApplications(const QString& path, const QString& group, const QString& mime)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == mime)
            return line.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return {};
}

QString desktopFilePath(const QString& id)
{
    for (const QString& dir : dataDirs()) {
        const QString path = dir + QStringLiteral("/applications/") + id;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

/// The first existing desktop entry associated with the MIME type, by the XDG rules' order.
QString associatedDesktopFile(const QString& mime)
{
    QStringList lists;
    lists << envDir("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"))
            + QStringLiteral("/mimeapps.list");
    for (const QString& dir : envDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir : dataDirs())
        lists << dir + QStringLiteral("/applications/mimeapps.list");
    for (const char* group : { "Default Applications", "Added Associations" })
        for (const QString& list : lists)
            for (const QString& id : listedApplications(list, QString::fromLatin1(group), mime))
                if (const QString path = desktopFilePath(id.trimmed()); !path.isEmpty())
                    return path;
    for (const QString& dir : dataDirs())
        for (const QString& id : listedApplications(
                 dir + QStringLiteral("/applications/mimeinfo.cache"), QStringLiteral("MIME Cache"), mime))
            if (const QString path = desktopFilePath(id.trimmed()); !path.isEmpty())
                return path;
    return {};
}

/// The Exec line of a desktop entry, its field codes filled with the file.
QStringList execCommand(const QString& desktopPath, const QString& file)
{
    QFile entry(desktopPath);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&entry);
    bool inEntry = false;
    QString exec;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (inEntry && line.startsWith(QLatin1String("Exec="))) {
            exec = line.mid(5);
            break;
        }
    }
    QStringList command;
    bool fileGiven = false;
    for (QString word : QProcess::splitCommand(exec)) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F") || word == QLatin1String("%u")
            || word == QLatin1String("%U")) {
            command << file;
            fileGiven = true;
            continue;
        }
        if (word == QLatin1String("%i") || word == QLatin1String("%c") || word == QLatin1String("%k"))
            continue;
        command << word.replace(QLatin1String("%%"), QLatin1String("%"));
    }
    if (!command.isEmpty() && !fileGiven)
        command << file;
    return command;
}

}

LaunchPlan PlanShellExecute(const QString& file, const QString& parameters)
{
    LaunchPlan plan;
    const QFileInfo info(file);
    if (!info.exists()) {
        // A bare program name is looked up on the PATH, as the shell would.
        const QString found
            = file.contains(QLatin1Char('/')) ? QString() : QStandardPaths::findExecutable(file);
        if (found.isEmpty()) {
            plan.error = ENOENT;
            return plan;
        }
        plan.program = found;
        plan.arguments = QProcess::splitCommand(parameters);
        return plan;
    }
    if (info.isFile() && info.isExecutable()) {
        plan.program = info.absoluteFilePath();
        plan.arguments = QProcess::splitCommand(parameters);
        return plan;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    QStringList candidates { type.name() };
    candidates << type.aliases() << type.allAncestors();
    candidates.removeAll(QStringLiteral("application/octet-stream"));
    for (const QString& mime : candidates) {
        const QString desktop = associatedDesktopFile(mime);
        if (desktop.isEmpty())
            continue;
        QStringList command = execCommand(desktop, info.absoluteFilePath());
        if (command.isEmpty())
            continue;
        plan.program = command.takeFirst();
        plan.arguments = command;
        return plan;
    }
    plan.error = kErrorNoAssociation;
    return plan;
}

std::unique_ptr<QProcess> ShellExecuteProcess(QWidget* owner, const QString& verb, const QString& file,
    const QString& parameters, const QString& folder, int showMode, const QString& errorTitle)
{
    Q_UNUSED(verb);
    Q_UNUSED(showMode);
    const LaunchPlan plan = PlanShellExecute(file, parameters);
    if (plan.error != 0) {
        ShowSystemError(owner, errorTitle, file, plan.error);
        return nullptr;
    }
    auto process = std::make_unique<QProcess>();
    process->setProgram(plan.program);
    process->setArguments(plan.arguments);
    if (!folder.isEmpty())
        process->setWorkingDirectory(folder);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        ShowSystemError(owner, errorTitle, file, QFileInfo(plan.program).exists() ? EACCES : ENOENT);
        return nullptr;
    }
    return process;
}

int ShellExecuteAndWait(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
    const QString& folder, int showMode, const QString& errorTitle)
{
    const std::unique_ptr<QProcess> process
        = ShellExecuteProcess(owner, verb, file, parameters, folder, showMode, errorTitle);
    if (!process)
        return -1;
    process->waitForFinished(-1);
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

bool RunCommand(const QString& commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    int code = ENOENT;
    if (!words.isEmpty()) {
        const QString program = words.takeFirst();
        if (QProcess::startDetached(program, words))
            return true;
        const bool exists = program.contains(QLatin1Char('/'))
            ? QFileInfo::exists(program)
            : !QStandardPaths::findExecutable(program).isEmpty();
        code = exists ? EACCES : ENOENT;
    }
    ShowSystemError(
        QApplication::activeWindow(), QStringLiteral("Error executing command"), commandLine, code);
    return false;
}

StructSysPathInfo GetSpecialFolder(int id)
{
    StructSysPathInfo info;
    info.ItemId = id;
    info.Path = platform::specialFolderPath(id);
    return info;
}

}
