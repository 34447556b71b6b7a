#pragma once

#include <QString>
#include <QStringList>

namespace contivo::platform {

/// Starts a program and waits for it to end. Returns its exit code, or -1 when it could not be
/// started or did not end normally. workingFolder empty: the current folder.
int runProgramAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder = {});

/// Starts a program without waiting; false when it could not be started.
bool startProgram(const QString& program, const QStringList& arguments, const QString& workingFolder = {});

}
