#include "platform/Folders.h"

#include "base/AtomicFile.h"
#include "platform/SystemFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <cstdlib>
#include <ctime>

namespace contivo {
namespace {

QString g_applicationFolder; // test override; empty: the executable's folder
QString g_userFolder;        // set once at start-up

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString ensured(const QString& folder)
{
    ForceDirectories(folder);
    return folder;
}

}

bool ForceDirectories(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    return QDir().mkpath(folder);
}

QString executableFileName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

QString executableBaseName() { return NomeSenzaEstensione(executableFileName()); }

void setApplicationFolderForTests(const QString& folder)
{
    g_applicationFolder = folder.isEmpty() ? QString() : withSlash(folder);
}

void setUserFolder(const QString& folder) { g_userFolder = folder.isEmpty() ? QString() : withSlash(folder); }

QString CartellaProgramma()
{
    if (!g_applicationFolder.isEmpty())
        return ensured(g_applicationFolder);
    return withSlash(QCoreApplication::applicationDirPath());
}

QString SottocartellaProgramma(const QString& name) { return ensured(CartellaProgramma() + name + QLatin1Char('/')); }

QString CartellaUtente()
{
    if (g_userFolder.isEmpty())
        return CartellaDatiApplicazione();
    return ensured(g_userFolder);
}

QString SottocartellaUtente(const QString& name) { return ensured(CartellaUtente() + name + QLatin1Char('/')); }

QString CartellaDatiApplicazione(const QString& name)
{
    QString folder = platform::specialFolderPath(platform::kFolderUserAppData) + QLatin1Char('/')
        + executableBaseName() + QLatin1Char('/');
    if (!name.isEmpty())
        folder += name + QLatin1Char('/');
    return ensured(folder);
}

QString CartellaSpeciale(int id)
{
    const QString folder = platform::specialFolderPath(id);
    if (folder.isEmpty())
        return {};
    return ensured(withSlash(folder));
}

void CreaFileChiave(const QString& path)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const int count = 1024 + std::rand() % 512;
    QByteArray bytes(count * 4, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        qToLittleEndian<qint32>(50 + std::rand() % 23654, bytes.data() + i * 4);
    writeFileAtomically(path, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString FileChiave()
{
    const QString path = CartellaUtente() + QStringLiteral("Support.dat");
    if (!QFileInfo::exists(path)) {
        try {
            CreaFileChiave(path);
        } catch (const std::exception&) {
            // A read-only data folder: everything but the enciphered values still works, and the
            // cipher reports the missing key file where one is used.
        }
    }
    return path;
}

QStringList ElencaFile(const QString& mask, bool foldersOnly, bool fullPaths)
{
    const qsizetype slash = mask.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : mask.left(slash + 1);
    QString pattern = mask.mid(slash + 1);
    // "*.*" names every entry, those without a dot included, as the original masks expect.
    if (pattern == QLatin1String("*.*"))
        pattern = QStringLiteral("*");
    QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    QDir::Filters filters = QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    filters |= foldersOnly ? QDir::Dirs : (QDir::Dirs | QDir::Files);
    const QStringList names = dir.entryList(QStringList{pattern}, filters, QDir::Unsorted);
    if (!fullPaths)
        return names;
    QStringList out;
    out.reserve(names.size());
    for (const QString& n : names)
        out << folder + n;
    return out;
}

QString NomeSenzaEstensione(const QString& path)
{
    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

int NomeNonValido(const QString& name)
{
    static const QString kInvalid = QStringLiteral("\\/:*?\"<>");
    for (const QChar c : kInvalid) {
        const qsizetype p = name.indexOf(c);
        if (p >= 0)
            return int(p) + 1;
    }
    return 0;
}

}
