#pragma once

#include <QString>

/// Special folders of the system, keyed by the shell folder identifiers the program uses, mapped
/// onto the XDG base directories.
namespace contivo::platform {

inline constexpr int kFolderDocuments = 5;
inline constexpr int kFolderUserAppData = 26;
inline constexpr int kFolderSharedAppData = 35;

/// The folder without trailing separator: 26 is $XDG_DATA_HOME (default ~/.local/share), 35 the
/// first writable folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share) else /var/lib,
/// 5 the user's documents folder. Empty for any other identifier or when unresolvable.
QString specialFolderPath(int id);

}
