#pragma once

#include <QString>

namespace contivo {

/// The program's start-up and run: refuses a second copy of the same executable (box
/// "L'applicativo risulta già in uso (183)", nothing else initialised), names the application
/// "Contivo", creates the data module (folders and settings), the main window, runs the message
/// loop and returns 0 whatever happened. Command-line arguments are not used.
int RunContivo(int argc, char** argv);

/// The single-instance box text for a lock error code.
QString SingleInstanceMessage(int code);

}
