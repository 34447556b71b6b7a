#include "platform/Process.h"

#include <QProcess>

namespace contivo::platform {

int runProgramAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start();
    if (!process.waitForStarted())
        return -1;
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

bool startProgram(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
}

}
