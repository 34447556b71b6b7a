#include "import/TFormDettaglioErroriCsv.h"

#include "base/Cp1252.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace contivo {

TFormDettaglioErroriCsv::TFormDettaglioErroriCsv(QWidget* parent)
    : QDialog(parent)
    , m_memo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("FormDettaglioErroriCsv"));
    resize(720, 420);
    m_memo->setObjectName(QStringLiteral("MemoErrori"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Chiudi"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("BtnChiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_memo);
    layout->addWidget(buttons);
}

bool TFormDettaglioErroriCsv::LoadFile(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    setWindowTitle(QFileInfo(path).fileName());
    m_memo->setPlainText(cp1252::decode(file.readAll()));
    return true;
}

QString TFormDettaglioErroriCsv::Text() const
{
    return m_memo->toPlainText();
}

}
