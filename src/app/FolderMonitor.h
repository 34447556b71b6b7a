#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

namespace contivo {

/// Watches a folder (its entries and the files in it) and reports changes on the user-interface
/// thread after a quiet delay: the first notification starts the delay, notifications arriving
/// meanwhile restart it, and when it ends `changed()` is emitted once. A file whose size or
/// modification time changed during the delay, or whose modification time lies within the
/// delay, is still being written: the report is put off by another delay, so a file is never
/// handed over half-written.
class FolderMonitor : public QObject {
    Q_OBJECT
public:
    explicit FolderMonitor(QObject* parent = nullptr);

    /// Starts watching a folder (creating nothing); an empty folder stops the monitor.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }

    void setDelay(int msecs) { m_timer.setInterval(msecs); }
    int delay() const { return m_timer.interval(); }
    bool pending() const { return m_timer.isActive(); }

    /// Records the folder as it is now as handled: a round that finds it unchanged reports nothing.
    void markHandled()
    {
        m_handled = snapshot();
        m_hasHandled = true;
    }
    /// Starts another delay, as a notification would.
    void retrigger() { onNotification(); }

signals:
    /// The folder changed and has been quiet for the delay.
    void changed();

private:
    struct Stamp {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };
    using Snapshot = QHash<QString, Stamp>;

    void onNotification();
    void onTimeout();
    void watchFiles();
    Snapshot snapshot() const;
    bool recentlyModified(const Snapshot& snap) const;

    QString m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    Snapshot m_lastSnapshot;
    Snapshot m_handled;
    bool m_hasHandled = false;
};

}
