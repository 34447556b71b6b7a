#include "support/Seams.h"

#include <QDialog>
#include <QSystemTrayIcon>

#include <cstdio>

namespace contivo {

namespace {

class ExecRunner : public ModalRunner {
public:
    int run(QDialog& dialog) override { return dialog.exec(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

ModalRunner* currentRunner = nullptr;
Notifier* currentNotifier = nullptr;
Clock* currentClock = nullptr;

}

ModalRunner& ModalRunner::instance()
{
    static ExecRunner runner;
    return currentRunner ? *currentRunner : runner;
}

ModalRunner* ModalRunner::setInstance(ModalRunner* runner)
{
    ModalRunner* previous = currentRunner;
    currentRunner = runner;
    return previous;
}

int RunModal(QDialog& dialog)
{
    return ModalRunner::instance().run(dialog);
}

Notifier& Notifier::instance()
{
    return currentNotifier ? *currentNotifier : TrayNotifier::defaultNotifier();
}

Notifier* Notifier::setInstance(Notifier* notifier)
{
    Notifier* previous = currentNotifier;
    currentNotifier = notifier;
    return previous;
}

void ShowBalloon(const QString& title, const QString& text, NotifyIcon icon, int msecs)
{
    Notifier::instance().notify(title, text, icon, msecs);
}

TrayNotifier& TrayNotifier::defaultNotifier()
{
    static TrayNotifier notifier;
    return notifier;
}

void TrayNotifier::notify(const QString& title, const QString& text, NotifyIcon icon, int msecs)
{
    if (m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable()
        && QSystemTrayIcon::supportsMessages()) {
        QSystemTrayIcon::MessageIcon kind = QSystemTrayIcon::NoIcon;
        switch (icon) {
        case NotifyIcon::Information:
            kind = QSystemTrayIcon::Information;
            break;
        case NotifyIcon::Warning:
            kind = QSystemTrayIcon::Warning;
            break;
        case NotifyIcon::Error:
            kind = QSystemTrayIcon::Critical;
            break;
        case NotifyIcon::None:
            break;
        }
        m_tray->showMessage(title, text, kind, msecs);
        return;
    }
    if (m_fallback) {
        m_fallback(title, text, icon);
        return;
    }
    const QByteArray line = (title + QStringLiteral(": ") + text).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

RecordingNotifier::RecordingNotifier()
    : m_previous(Notifier::setInstance(this))
{
}

RecordingNotifier::~RecordingNotifier()
{
    Notifier::setInstance(m_previous);
}

void RecordingNotifier::notify(const QString& title, const QString& text, NotifyIcon icon, int msecs)
{
    m_balloons.append({ title, text, icon, msecs });
}

Clock& Clock::instance()
{
    static SystemClock clock;
    return currentClock ? *currentClock : clock;
}

Clock* Clock::setInstance(Clock* clock)
{
    Clock* previous = currentClock;
    currentClock = clock;
    return previous;
}

QDateTime Now()
{
    return Clock::instance().now();
}
QDate Today()
{
    return Clock::instance().today();
}

FixedClock::FixedClock(const QDateTime& moment)
    : m_moment(moment)
    , m_previous(Clock::setInstance(this))
{
}

FixedClock::~FixedClock()
{
    Clock::setInstance(m_previous);
}

}
