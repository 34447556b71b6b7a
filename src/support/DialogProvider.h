#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

namespace contivo {

/// Windows message-box flags: the vocabulary every caller uses to describe a box.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x02;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_RETRYCANCEL = 0x05;
inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;

/// Button identifiers a message box returns.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

/// The button identifiers of a box with the given flags, left to right.
QList<int> messageBoxButtons(unsigned flags);
/// The identifier of the default button (MB_DEFBUTTONn picks the n-th button, the first when out of range).
int messageBoxDefaultButton(unsigned flags);
/// The answer for a box closed without pressing a button (Escape, window close): Cancel when the
/// box has it, No for Yes/No, OK for a box with only OK.
int messageBoxEscapeButton(unsigned flags);

/// What a file dialog is asked to show. The filter uses Qt's syntax ("Testo (*.txt);;Tutti (*)").
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultExtension; ///< without the dot; added to a saved name typed without extension
    QString initialFolder;
    QString initialFile;
};

/// The one way the program shows a message box, a file, colour or folder dialog. The process-wide
/// instance shows real Qt dialogs; tests install a scripted provider (support/TestSeams.h) so no test
/// blocks on a modal box, and every box is recorded.
class DialogProvider {
public:
    virtual ~DialogProvider() = default;

    /// A modal message box; returns the identifier of the button pressed (IDOK, IDYES, ...).
    virtual int messageBox(QWidget* owner, const QString& title, const QString& text, unsigned flags) = 0;
    /// The chosen existing file, or empty when cancelled.
    virtual QString openFileName(QWidget* owner, const FileDialogRequest& request) = 0;
    /// The chosen file to write, or empty when cancelled.
    virtual QString saveFileName(QWidget* owner, const FileDialogRequest& request) = 0;
    /// The chosen colour, or an invalid colour when cancelled.
    virtual QColor chooseColor(QWidget* owner, const QString& title, const QColor& initial) = 0;
    /// The chosen folder, or empty when cancelled.
    virtual QString chooseFolder(QWidget* owner, const QString& title, const QString& initialFolder) = 0;

    /// The current provider (the Qt one unless a test installed another).
    static DialogProvider& instance();
    /// Installs a provider (not owned); nullptr restores the default. Returns the one replaced.
    static DialogProvider* setInstance(DialogProvider* provider);
};

/// The default provider: real Qt dialogs with Italian buttons ("Sì", "No", "OK", "Annulla").
/// When the environment variable CONTIVO_DIALOGS is "auto" it shows nothing (for runs of the real
/// program in end-to-end tests): every message box is written as one line "title: text" to stderr
/// (line breaks as "\n") and answered with its default button, or with the next button identifier
/// of CONTIVO_DIALOG_ANSWERS (comma-separated, e.g. "7,6", used in order, then defaults again);
/// file and folder dialogs are written as "title: <open file>" etc. and answered with
/// CONTIVO_DIALOG_FILE (open and save) or CONTIVO_DIALOG_FOLDER, or as cancelled when unset.
class QtDialogProvider : public DialogProvider {
public:
    int messageBox(QWidget* owner, const QString& title, const QString& text, unsigned flags) override;
    QString openFileName(QWidget* owner, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* owner, const FileDialogRequest& request) override;
    QColor chooseColor(QWidget* owner, const QString& title, const QColor& initial) override;
    QString chooseFolder(QWidget* owner, const QString& title, const QString& initialFolder) override;

    /// True when CONTIVO_DIALOGS=auto (read at each call, so a test may switch it).
    static bool automatic();

private:
    QString runFileDialog(QWidget* owner, const FileDialogRequest& request, bool save);
};

}
