#include "base/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace contivo {

void writeFileAtomically(const QString& path, const QByteArray& bytes, QFileDevice::Permissions newFilePermissions)
{
    const bool existed = QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(path, file.errorString()).toStdString());
    if (!existed)
        file.setPermissions(newFilePermissions);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(QStringLiteral("Cannot write file \"%1\". %2")
                                     .arg(path, file.errorString()).toStdString());
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                     .arg(path, file.errorString()).toStdString());
    return file.readAll();
}

}
