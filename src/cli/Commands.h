#pragma once

#include <QStringList>

/// Each command of contivo-cli receives the arguments after its name and returns the exit code:
/// 0 success, 1 failure of the work (message on stderr), 2 bad arguments (usage on stderr).
namespace contivo::cli {

using CommandFn = int (*)(const QStringList& args);

struct Command {
    const char* name;
    const char* usage;
    CommandFn run;
};

/// The commands, each defined in its own file of this folder.
int cmdEncipher(const QStringList& args);
int cmdDecipher(const QStringList& args);
int cmdDump(const QStringList& args);
int cmdWrite(const QStringList& args);
int cmdImport(const QStringList& args);
int cmdExport(const QStringList& args);
int cmdMonth(const QStringList& args);
int cmdSituation(const QStringList& args);

/// Prints "usage: contivo-cli <usage>" to stderr and returns 2.
int usageError(const char* usage);

}
