#pragma once

#include <QString>
#include <QStringList>

/// The program's map of the file system: the application folder (the executable's folder, with
/// its read-only resources) and the user data folder (every file the user creates), plus the
/// file helpers several subsystems share. Every folder returned ends with '/' and is created,
/// with its parents, when missing; a folder that cannot be created is returned all the same and
/// the first file operation inside it reports the error.
namespace contivo {

/// The application folder: the folder of the running executable.
QString CartellaProgramma();
/// Application folder + name + "/".
QString SottocartellaProgramma(const QString& name);
/// The user data folder set at start-up (see InizializzaCartelle); before that, the per-user
/// application data folder.
QString CartellaUtente();
/// User data folder + name + "/"; name may hold '/' (e.g. "Tabelle/2024").
QString SottocartellaUtente(const QString& name);
/// The per-user application data folder ($XDG_DATA_HOME/<executable name>/), or that folder +
/// name + "/".
QString CartellaDatiApplicazione(const QString& name = {});
/// A special folder by its shell identifier (5 documents, 26 per-user data, 35 shared data) with a
/// trailing '/'; the empty text for an identifier the system cannot resolve.
QString CartellaSpeciale(int id);
/// User data folder + "Support.dat", the key material of enciphered values; created with random
/// content (mode 0600) when missing and never rewritten. When it cannot be created the path is
/// returned all the same and the cipher reports the missing file where it is used.
QString FileChiave();

/// Entries of the mask's folder that match the mask's file-name pattern, in the order the file
/// system lists them (hidden ones included, subfolders not searched). foldersOnly keeps just
/// folders; fullPaths prefixes each name with the mask's folder.
QStringList ElencaFile(const QString& mask, bool foldersOnly, bool fullPaths);
/// File name without its folder and without its last extension ("/x/Casa.OUT" gives "Casa").
QString NomeSenzaEstensione(const QString& path);
/// 0 when the name holds none of \ / : * ? " < >, else the 1-based position in the name of the
/// first of those characters, taken in that list order, that the name contains.
int NomeNonValido(const QString& name);

/// Points the application folder elsewhere (tests); an empty path restores the executable's folder.
void setApplicationFolderForTests(const QString& folder);
/// Sets the user data folder (start-up, and tests); a trailing '/' is added when missing.
void setUserFolder(const QString& folder);

/// The executable's file name with and without extension ("contivo").
QString executableFileName();
QString executableBaseName();

/// Creates a folder with all missing parents; false when it cannot be created.
bool ForceDirectories(const QString& folder);

/// Writes a new key file: N = 1024 + (r mod 512) little-endian int32 values, each
/// 50 + (r mod 23654), r drawn from the C library's generator seeded with the current time just
/// before writing. Throws std::runtime_error when the file cannot be written. Exposed for tests.
void CreaFileChiave(const QString& path);

}
