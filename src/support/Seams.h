#pragma once

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>

class QDialog;

namespace contivo {

/// Runs secondary windows modally. Every `exec()` of a secondary window goes through
/// `RunModal(dialog)`, so a test can install a runner that drives the window and closes it.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    /// Shows the dialog modally and returns its result code (QDialog::Accepted, Rejected or done()'s value).
    virtual int run(QDialog& dialog) = 0;

    static ModalRunner& instance();
    /// Installs a runner (not owned); nullptr restores the default (QDialog::exec). Returns the one replaced.
    static ModalRunner* setInstance(ModalRunner* runner);
};

/// Shows a secondary window modally through the current runner; returns its result code.
int RunModal(QDialog& dialog);

/// The icon of a notification balloon.
enum class NotifyIcon { None, Information, Warning, Error };

/// Notification-area balloons (title, text, icon).
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& text, NotifyIcon icon, int msecs) = 0;

    static Notifier& instance();
    /// Installs a notifier (not owned); nullptr restores the default. Returns the one replaced.
    static Notifier* setInstance(Notifier* notifier);
};

/// Shows a balloon through the current notifier.
void ShowBalloon(const QString& title, const QString& text, NotifyIcon icon, int msecs = 136000);

/// The default notifier: the balloon of the tray icon the main window registers, when the desktop
/// has a notification area; otherwise the fallback (for instance the main window's status bar);
/// with neither, one line "title: text" on stderr.
class TrayNotifier : public Notifier {
public:
    void notify(const QString& title, const QString& text, NotifyIcon icon, int msecs) override;
    void setTrayIcon(QSystemTrayIcon* icon) { m_tray = icon; }
    void setFallback(std::function<void(const QString& title, const QString& text, NotifyIcon icon)> fallback)
    {
        m_fallback = std::move(fallback);
    }
    /// The process-wide default instance (to register the tray icon and the fallback).
    static TrayNotifier& defaultNotifier();

private:
    QPointer<QSystemTrayIcon> m_tray;
    std::function<void(const QString&, const QString&, NotifyIcon)> m_fallback;
};

/// A notifier that only records the balloons; installs itself for its lifetime.
class RecordingNotifier : public Notifier {
public:
    struct Balloon {
        QString title;
        QString text;
        NotifyIcon icon;
        int msecs;
    };
    RecordingNotifier();
    ~RecordingNotifier() override;
    RecordingNotifier(const RecordingNotifier&) = delete;
    RecordingNotifier& operator=(const RecordingNotifier&) = delete;

    void notify(const QString& title, const QString& text, NotifyIcon icon, int msecs) override;
    const QList<Balloon>& balloons() const { return m_balloons; }

private:
    QList<Balloon> m_balloons;
    Notifier* m_previous;
};

/// "Now" and "today" of the program.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }

    static Clock& instance();
    /// Installs a clock (not owned); nullptr restores the system clock. Returns the one replaced.
    static Clock* setInstance(Clock* clock);
};

/// The current local date and time through the current clock.
QDateTime Now();
QDate Today();

/// A clock standing at a fixed moment; installs itself for its lifetime.
class FixedClock : public Clock {
public:
    explicit FixedClock(const QDateTime& moment);
    ~FixedClock() override;
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    QDateTime now() const override { return m_moment; }
    void set(const QDateTime& moment) { m_moment = moment; }

private:
    QDateTime m_moment;
    Clock* m_previous;
};

}
