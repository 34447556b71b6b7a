#pragma once

#include "config/TConfigurazione.h"

#include <QString>

namespace contivo {

/// Settles the folders and settings stores of the run: creates the start-up store over
/// <application folder>/Config/<name>.ini, resolves the user data folder from its Avvio/UserDir
/// value ("<UserAppData>" by default; the placeholders <USERAPPDATA>, <SHAREDAPPDATA> and
/// <APPDIR> match the whole value without regard to case; any other value is the folder itself,
/// given a trailing '/' when it has none), then creates the user store over
/// <user data folder>/Config/<name>.ini keyed by FileChiave(). name: "Stellaro/Contivo".
void InizializzaCartelle(const QString& name);

/// The user data folder a UserDir value selects (exposed for tests; creates nothing).
QString ResolveUserFolder(const QString& userDirValue);

/// The start-up store; throws std::logic_error before InizializzaCartelle.
TConfigurazione& StartupSettings();
/// The user store (UserSettings); throws std::logic_error before InizializzaCartelle.
TConfigurazione& GetSettings();
/// The user store by its own name; the same as GetSettings().
inline TConfigurazione& UserSettings() { return GetSettings(); }
/// True once InizializzaCartelle has run.
bool SettingsReady();

}
