#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QWidget;

namespace contivo {

/// Error code for "no program is associated with the file" (the number Windows uses for it);
/// other codes are the system's errno values.
inline constexpr int kErrorNoAssociation = 1155;

/// The system's message text for an error code.
QString SystemErrorMessage(int code);

/// Warning box (flags 48) owned by the window, with the title and the text "Trying to open " + the
/// name in double quotes + CR LF + the system's message for the code.
void ShowSystemError(QWidget* owner, const QString& title, const QString& name, int code);

/// How a file would be opened: the program and its arguments, or the error code why it cannot.
struct LaunchPlan {
    QString program;
    QStringList arguments;
    int error = 0;
};
/// Resolves "open" on a file: an executable file runs with the parameters; any other file opens
/// with the desktop's default program for its MIME type (mimeapps.list and mimeinfo.cache in the
/// XDG folders); ENOENT when the file does not exist, kErrorNoAssociation when no program is known.
LaunchPlan PlanShellExecute(const QString& file, const QString& parameters);

/// Performs the verb ("open"; other verbs are treated alike) on the file and returns the started
/// process; on failure shows ShowSystemError(owner, errorTitle, file, code) and returns null.
/// showMode is accepted for the callers' sake; the desktop decides how the window appears.
std::unique_ptr<QProcess> ShellExecuteProcess(QWidget* owner, const QString& verb, const QString& file,
    const QString& parameters, const QString& folder, int showMode, const QString& errorTitle);

/// ShellExecuteProcess, then waits for the process to end and returns its exit code; -1 when
/// nothing was started or the process crashed.
int ShellExecuteAndWait(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
    const QString& folder, int showMode, const QString& errorTitle);

/// Starts the command line without waiting; on failure ShowSystemError with the active window,
/// the title "Error executing command", the command line and the error code. True when started.
bool RunCommand(const QString& commandLine);

/// A special folder of the system.
struct StructSysPathInfo {
    QString Path; ///< without trailing separator; empty when the system does not know the folder
    QString DisplayName; ///< left empty
    int SmallIconIndex = 0;
    int LargeIconIndex = 0;
    int ItemId = 0; ///< the folder identifier asked for
};
/// The special folder by shell identifier (5 documents, 26 per-user data, 35 shared data).
StructSysPathInfo GetSpecialFolder(int id);

}
