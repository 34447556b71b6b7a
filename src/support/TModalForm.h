#pragma once

#include <QDialog>

namespace contivo {

/// Base of the program's modal windows. Minimising it takes the whole application to the taskbar
/// (its owner window is minimised with it); restoring it brings both back; when the application is
/// activated again while the window is visible and enabled, the window is brought back to the front
/// twice, 75 ms apart, so it does not stay hidden behind the main window.
class TModalForm : public QDialog {
    Q_OBJECT

public:
    explicit TModalForm(QWidget* parent = nullptr);

    /// Delay between the steps of bringing the window back to the front.
    static constexpr int kReactivateDelayMs = 75;

signals:
    /// Emitted after the second step of bringing the window to the front.
    void broughtToFront();

protected:
    void changeEvent(QEvent* event) override;

private:
    void applicationStateChanged(Qt::ApplicationState state);
    void bringToFront();
    bool m_reactivating = false;
};

}
