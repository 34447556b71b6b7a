#include "support/TModalForm.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace contivo {

TModalForm::TModalForm(QWidget* parent)
    : QDialog(parent)
{
    setModal(true);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &TModalForm::applicationStateChanged);
}

void TModalForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        auto* change = static_cast<QWindowStateChangeEvent*>(event);
        QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        if (isMinimized()) {
            // The application goes to the taskbar as a whole, not the modal window alone.
            if (owner && !owner->isMinimized())
                owner->showMinimized();
        } else if (change->oldState() & Qt::WindowMinimized) {
            if (owner && owner->isMinimized())
                owner->showNormal();
            setWindowState(windowState() & ~Qt::WindowMinimized);
        }
    }
    QDialog::changeEvent(event);
}

void TModalForm::applicationStateChanged(Qt::ApplicationState state)
{
    if (state != Qt::ApplicationActive || !isVisible() || !isEnabled() || m_reactivating)
        return;
    m_reactivating = true;
    QTimer::singleShot(kReactivateDelayMs, this, [this] {
        bringToFront();
        QTimer::singleShot(kReactivateDelayMs, this, [this] {
            if (isVisible())
                activateWindow();
            m_reactivating = false;
            emit broughtToFront();
        });
    });
}

void TModalForm::bringToFront()
{
    if (!isVisible())
        return;
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

}
