#pragma once

#include <QString>

namespace contivo::platform {

/// Keeps two copies of the same executable apart with an exclusive lock on a file in the user's
/// runtime folder ($XDG_RUNTIME_DIR, else the temporary folder). The kernel releases the lock when
/// the process ends, however it ends, so a crashed copy never blocks the next start.
class SingleInstance {
public:
    /// Error code reported when another copy holds the name (as the original mutex did).
    static constexpr int kAlreadyRunning = 183;

    /// name: the lock's name, e.g. "Stellaro.contivo".
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    /// Tries to take the lock: 0 when this process now holds it, 183 when another holder has
    /// it, otherwise the system's error number of the failed open.
    int acquire();
    /// The lock file's path.
    QString lockFilePath() const { return m_path; }

    /// "Stellaro." + the executable's file name.
    static QString defaultName();

private:
    QString m_path;
    int m_fd = -1;
};

}
