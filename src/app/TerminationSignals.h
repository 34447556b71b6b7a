#pragma once

namespace contivo {

/// Ends the message loop when the process is asked to terminate (SIGTERM, SIGINT, SIGHUP): the
/// session is ending or a service manager stops the program, so it closes its windows and the data
/// module in order (windows writing their placements) and exits with code 0 instead of dying
/// mid-way. No question is asked: every change has already reached its file. Call once, after
/// the application object exists.
void InstallTerminationHandler();

}
