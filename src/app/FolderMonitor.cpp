#include "app/FolderMonitor.h"

#include <QDir>
#include <QFileInfo>

namespace contivo {

FolderMonitor::FolderMonitor(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &FolderMonitor::onTimeout);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderMonitor::onNotification);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FolderMonitor::onNotification);
}

void FolderMonitor::setFolder(const QString& folder)
{
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_timer.stop();
    m_folder = folder;
    if (folder.isEmpty())
        return;
    m_watcher.addPath(folder);
    watchFiles();
}

void FolderMonitor::watchFiles()
{
    // Directory notifications cover names only; watching each file adds its writes.
    QDir dir(m_folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    QStringList toAdd;
    const QStringList already = m_watcher.files();
    for (const QFileInfo& entry : entries) {
        if (!already.contains(entry.filePath()))
            toAdd.append(entry.filePath());
    }
    if (!toAdd.isEmpty())
        m_watcher.addPaths(toAdd);
}

FolderMonitor::Snapshot FolderMonitor::snapshot() const
{
    Snapshot snap;
    QDir dir(m_folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries)
        snap.insert(entry.fileName(), Stamp { entry.size(), entry.lastModified() });
    return snap;
}

bool FolderMonitor::recentlyModified(const Snapshot& snap) const
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const Stamp& stamp : snap) {
        const qint64 age = stamp.modified.msecsTo(now);
        if (age >= 0 && age < m_timer.interval())
            return true;
    }
    return false;
}

void FolderMonitor::onNotification()
{
    if (m_folder.isEmpty())
        return;
    // A folder that was removed and created again drops out of the watcher.
    if (!m_watcher.directories().contains(m_folder) && QFileInfo::exists(m_folder))
        m_watcher.addPath(m_folder);
    watchFiles();
    m_lastSnapshot = snapshot();
    m_timer.start();
}

void FolderMonitor::onTimeout()
{
    const Snapshot now = snapshot();
    if (now != m_lastSnapshot || recentlyModified(now)) {
        m_lastSnapshot = now;
        m_timer.start();
        return;
    }
    // The folder as the last round left it (its own deletions included) needs no new round.
    if (m_hasHandled && now == m_handled)
        return;
    emit changed();
}

}
