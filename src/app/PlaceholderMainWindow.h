#pragma once

#include <QMainWindow>

namespace contivo {

/// The main window of the program until the category window takes its place: titled
/// "Contivo - Categorie", its placement kept in the user settings, and closing only after the
/// user confirms "Uscire da Contivo?".
class PlaceholderMainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PlaceholderMainWindow(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

}
