#pragma once

#include "support/DialogProvider.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace contivo {

/// Every message box of the program goes through these, so titles, icons and buttons follow one
/// rule: the title is the application title, " - " and a word naming the kind of message. The box
/// is owned by the application's active window and shown through DialogProvider::instance().

/// Error box "Contivo - Errore", stop icon, OK. Returns the button pressed.
int ShowError(const QString& text);
/// Warning box "Contivo - Avviso", exclamation icon, OK. Returns the button pressed.
int ShowWarning(const QString& text);
/// Confirmation box "Contivo - Conferma", question icon, Yes (default) and No: IDYES (6) or IDNO (7).
int AskConfirm(const QString& text);
/// Information box "Contivo - Informazione", information icon, OK. Returns the button pressed.
int ShowInfo(const QString& text);
/// A box with exactly this title and these MB_* flags. Returns the button pressed.
int ShowMessageBox(const QString& text, const QString& title, unsigned flags);
/// As ShowMessageBox, owned by the given window (the active window when null).
int ShowMessageBoxOwned(QWidget* owner, const QString& text, const QString& title, unsigned flags);

/// Replaces "{0}", "{1}", ... in that order by the strings of the list (case-sensitive; a later
/// placeholder is also replaced inside text an earlier argument brought in).
QString FormatMessageArgs(const QString& text, const QStringList& args = {});

/// Writes the text into the control in red (RGB 255,0,0) when a control is given; returns the text.
/// The colour stays red until the control's owner sets it again.
QString ShowFieldMessage(QWidget* control, const QString& text);
/// ShowFieldMessage with "Il campo specificato non è nel formato corretto".
QString ShowFieldFormatError(QWidget* control);

/// The title of each kind of box: the application title followed by " - Errore", " - Avviso", ...
QString errorTitle();
QString warningTitle();
QString confirmTitle();
QString infoTitle();

}
