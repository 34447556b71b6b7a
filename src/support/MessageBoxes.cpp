#include "support/MessageBoxes.h"

#include "base/AppInfo.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

namespace contivo {

namespace {
QString titled(const char* word)
{
    return QString::fromUtf8(kAppTitle) + QStringLiteral(" - ") + QString::fromUtf8(word);
}
}

QString errorTitle()
{
    return titled("Errore");
}
QString warningTitle()
{
    return titled("Avviso");
}
QString confirmTitle()
{
    return titled("Conferma");
}
QString infoTitle()
{
    return titled("Informazione");
}

int ShowMessageBoxOwned(QWidget* owner, const QString& text, const QString& title, unsigned flags)
{
    return DialogProvider::instance().messageBox(owner, title, text, flags);
}

int ShowMessageBox(const QString& text, const QString& title, unsigned flags)
{
    return ShowMessageBoxOwned(nullptr, text, title, flags);
}

int ShowError(const QString& text)
{
    return ShowMessageBox(text, errorTitle(), MB_OK | MB_ICONERROR);
}

int ShowWarning(const QString& text)
{
    return ShowMessageBox(text, warningTitle(), MB_OK | MB_ICONWARNING);
}

int AskConfirm(const QString& text)
{
    return ShowMessageBox(text, confirmTitle(), MB_YESNO | MB_ICONQUESTION) == IDYES ? IDYES : IDNO;
}

int ShowInfo(const QString& text)
{
    return ShowMessageBox(text, infoTitle(), MB_OK | MB_ICONINFORMATION);
}

QString FormatMessageArgs(const QString& text, const QStringList& args)
{
    QString result = text;
    for (qsizetype i = 0; i < args.size(); ++i)
        result.replace(QLatin1Char('{') + QString::number(i) + QLatin1Char('}'), args[i]);
    return result;
}

QString ShowFieldMessage(QWidget* control, const QString& text)
{
    if (!control)
        return text;
    QPalette palette = control->palette();
    const QColor red(255, 0, 0);
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(role, red);
    control->setPalette(palette);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        rich->setPlainText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        box->setTitle(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else
        control->setProperty("text", text);
    return text;
}

QString ShowFieldFormatError(QWidget* control)
{
    return ShowFieldMessage(control, QStringLiteral("Il campo specificato non è nel formato corretto"));
}

}
