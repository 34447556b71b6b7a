#include "support/DialogProvider.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace contivo {

QList<int> messageBoxButtons(unsigned flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return { IDOK, IDCANCEL };
    case MB_ABORTRETRYIGNORE:
        return { IDABORT, IDRETRY, IDIGNORE };
    case MB_YESNOCANCEL:
        return { IDYES, IDNO, IDCANCEL };
    case MB_YESNO:
        return { IDYES, IDNO };
    case MB_RETRYCANCEL:
        return { IDRETRY, IDCANCEL };
    default:
        return { IDOK };
    }
}

int messageBoxDefaultButton(unsigned flags)
{
    const QList<int> buttons = messageBoxButtons(flags);
    const qsizetype index = (flags & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.first();
}

int messageBoxEscapeButton(unsigned flags)
{
    const QList<int> buttons = messageBoxButtons(flags);
    if (buttons.contains(IDCANCEL))
        return IDCANCEL;
    if (buttons.contains(IDNO))
        return IDNO;
    return buttons.size() == 1 ? buttons.first() : IDCANCEL;
}

namespace {

QtDialogProvider& defaultProvider()
{
    static QtDialogProvider provider;
    return provider;
}

DialogProvider* currentProvider = nullptr;

QString buttonText(int id)
{
    switch (id) {
    case IDOK:
        return QStringLiteral("OK");
    case IDCANCEL:
        return QStringLiteral("Annulla");
    case IDABORT:
        return QStringLiteral("Interrompi");
    case IDRETRY:
        return QStringLiteral("Riprova");
    case IDIGNORE:
        return QStringLiteral("Ignora");
    case IDYES:
        return QStringLiteral("Sì");
    case IDNO:
        return QStringLiteral("No");
    }
    return {};
}

QMessageBox::ButtonRole buttonRole(int id)
{
    switch (id) {
    case IDOK:
    case IDYES:
    case IDRETRY:
        return QMessageBox::AcceptRole;
    case IDNO:
        return QMessageBox::NoRole;
    case IDCANCEL:
    case IDABORT:
        return QMessageBox::RejectRole;
    default:
        return QMessageBox::ActionRole;
    }
}

QMessageBox::Icon boxIcon(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

void writeAutoLine(const QString& title, const QString& text)
{
    QString line = title + QStringLiteral(": ") + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(QChar('\n'), QStringLiteral("\\n"));
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

/// The next answer of CONTIVO_DIALOG_ANSWERS, or 0 when they are used up.
int nextScriptedAnswer()
{
    static QString seen;
    static int used = 0;
    const QString value = qEnvironmentVariable("CONTIVO_DIALOG_ANSWERS");
    if (value != seen) { // a new list starts from its first answer
        seen = value;
        used = 0;
    }
    const QStringList answers = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    return used < answers.size() ? answers[used++].trimmed().toInt() : 0;
}

QWidget* ownerOrActive(QWidget* owner)
{
    return owner ? owner : QApplication::activeWindow();
}

}

DialogProvider& DialogProvider::instance()
{
    return currentProvider ? *currentProvider : defaultProvider();
}

DialogProvider* DialogProvider::setInstance(DialogProvider* provider)
{
    DialogProvider* previous = currentProvider;
    currentProvider = provider;
    return previous;
}

bool QtDialogProvider::automatic()
{
    return qEnvironmentVariable("CONTIVO_DIALOGS") == QLatin1String("auto");
}

int QtDialogProvider::messageBox(QWidget* owner, const QString& title, const QString& text, unsigned flags)
{
    if (automatic()) {
        writeAutoLine(title, text);
        const int scripted = nextScriptedAnswer();
        return scripted > 0 ? scripted : messageBoxDefaultButton(flags);
    }
    QMessageBox box(ownerOrActive(owner));
    box.setWindowTitle(title);
    // Texts follow the Windows habit of CR LF line breaks; Qt wants bare LF.
    QString shown = text;
    box.setText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(boxIcon(flags));
    QHash<QAbstractButton*, int> ids;
    const int defaultId = messageBoxDefaultButton(flags);
    for (int id : messageBoxButtons(flags)) {
        QPushButton* button = box.addButton(buttonText(id), buttonRole(id));
        ids.insert(button, id);
        if (id == defaultId)
            box.setDefaultButton(button);
        if (id == messageBoxEscapeButton(flags))
            box.setEscapeButton(button);
    }
    box.exec();
    return ids.value(box.clickedButton(), messageBoxEscapeButton(flags));
}

// The open and save dialogs differ only in their mode and in the word logged when automatic.
QString QtDialogProvider::runFileDialog(QWidget* owner, const FileDialogRequest& request, bool save)
{
    if (automatic()) {
        writeAutoLine(request.title, save ? QStringLiteral("<save file>") : QStringLiteral("<open file>"));
        return qEnvironmentVariable("CONTIVO_DIALOG_FILE");
    }
    QFileDialog dialog(ownerOrActive(owner), request.title, request.initialFolder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.initialFile.isEmpty())
        dialog.selectFile(request.initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtDialogProvider::openFileName(QWidget* owner, const FileDialogRequest& request)
{
    return runFileDialog(owner, request, false);
}

QString QtDialogProvider::saveFileName(QWidget* owner, const FileDialogRequest& request)
{
    return runFileDialog(owner, request, true);
}

QColor QtDialogProvider::chooseColor(QWidget* owner, const QString& title, const QColor& initial)
{
    if (automatic()) {
        writeAutoLine(title, QStringLiteral("<colour>"));
        return {};
    }
    return QColorDialog::getColor(initial, ownerOrActive(owner), title);
}

QString QtDialogProvider::chooseFolder(QWidget* owner, const QString& title, const QString& initialFolder)
{
    if (automatic()) {
        writeAutoLine(title, QStringLiteral("<folder>"));
        return qEnvironmentVariable("CONTIVO_DIALOG_FOLDER");
    }
    return QFileDialog::getExistingDirectory(ownerOrActive(owner), title, initialFolder);
}

}
