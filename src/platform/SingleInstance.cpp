#include "platform/SingleInstance.h"

#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace contivo::platform {
namespace {

QString runtimeFolder(bool& perUser)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    perUser = !runtime.isEmpty() && QDir(runtime).exists();
    return perUser ? runtime : QDir::tempPath();
}

}

SingleInstance::SingleInstance(const QString& name)
{
    bool perUser = false;
    const QString folder = runtimeFolder(perUser);
    // The shared temporary folder is seen by every user: the user id keeps their locks apart.
    m_path = folder + QLatin1Char('/') + name
        + (perUser ? QString() : QStringLiteral(".%1").arg(::getuid())) + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int SingleInstance::acquire()
{
    if (m_fd >= 0)
        return 0;
    const QByteArray path = QFile::encodeName(m_path);
    // Close-on-exec: programs started by this one must not inherit the lock.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno ? errno : -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? kAlreadyRunning : err;
    }
    m_fd = fd;
    return 0;
}

QString SingleInstance::defaultName() { return QStringLiteral("Stellaro.") + executableFileName(); }

}
