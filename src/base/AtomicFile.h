#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace contivo {

/// Replaces a file with the given bytes atomically (temporary file in the same folder, flush,
/// rename), so a crash or a full disk never leaves a half-written file. Throws std::runtime_error
/// with the system's reason when the file cannot be written. The new file gets the given
/// permissions when it did not exist before (an existing file keeps its own).
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         QFileDevice::Permissions newFilePermissions = QFileDevice::ReadOwner
                             | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);

/// Reads a whole file; throws std::runtime_error when it cannot be opened.
QByteArray readWholeFile(const QString& path);

}
