#include "app/TFormNuovaCategoria.h"

#include "config/Startup.h"
#include "lang/Language.h"
#include "support/Appearance.h"

#include <QFileInfo>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace contivo {

TFormNuovaCategoria::TFormNuovaCategoria(QWidget* parent)
    : QDialog(parent)
    , m_nome(new QLineEdit)
    , m_conferma(new QPushButton(QStringLiteral("Conferma")))
    , m_annulla(new QPushButton(QStringLiteral("Annulla")))
{
    setObjectName(QStringLiteral("FormNuovaCategoria"));
    setWindowTitle(QStringLiteral("Nuova Categoria"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(QStringLiteral("Inserimento nuova categoria"));
    group->setObjectName(QStringLiteral("GroupNuovaCategoria"));
    auto* label = new QLabel(QStringLiteral("Nome Categoria"));
    label->setObjectName(QStringLiteral("LblNomeCategoria"));
    label->setBuddy(m_nome);
    m_nome->setObjectName(QStringLiteral("NomeCategoria"));
    m_nome->setMinimumWidth(280);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(label);
    groupLayout->addWidget(m_nome);

    auto* hint = new QLabel(QStringLiteral(
        "Inserire il nome della categoria e premere <b>Conferma</b> per rendere effettiva la modifica. "
        "Premere <b>Annulla</b> per tornare alla finestra precedente senza effettuare modifiche."));
    hint->setObjectName(QStringLiteral("PnlSuggerimento"));
    hint->setTextFormat(Qt::RichText);
    hint->setWordWrap(true);
    hint->setFrameShape(QFrame::StyledPanel);
    hint->setMargin(8);
    hint->setAutoFillBackground(true);
    QPalette hintPalette = hint->palette();
    hintPalette.setColor(QPalette::Window, QColor(0xff, 0xfb, 0xe6));
    hintPalette.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    hint->setPalette(hintPalette);

    m_conferma->setObjectName(QStringLiteral("BtnConferma"));
    m_annulla->setObjectName(QStringLiteral("BtnAnnulla"));
    m_conferma->setDefault(true);
    m_conferma->setAutoDefault(true);
    m_annulla->setAutoDefault(false);
    connect(m_conferma, &QPushButton::clicked, this, &TFormNuovaCategoria::BtnConfermaClick);
    connect(m_annulla, &QPushButton::clicked, this, &TFormNuovaCategoria::BtnAnnullaClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_annulla);
    buttons->addWidget(m_conferma);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    try {
        SkinButton(m_conferma, QStringLiteral("BtnConferma"));
        SkinButton(m_annulla, QStringLiteral("BtnAnnulla"));
    } catch (const std::exception&) {
        // A damaged picture leaves the caption alone on its button.
    }
    // The dialog speaks the language the main window chose when it was created.
    const QString language = CurrentLanguage();
    const QString languageFile = LanguageFolder() + language + QStringLiteral(".lng");
    if (!language.isEmpty() && QFileInfo::exists(languageFile))
        TranslateComponents(this, languageFile);
    if (SettingsReady())
        BindFormPlacement(GetSettings(), *this);
}

QString TFormNuovaCategoria::nomeCategoria() const
{
    return m_nome->text();
}

void TFormNuovaCategoria::BtnConfermaClick()
{
    done(QDialog::Accepted);
}

void TFormNuovaCategoria::BtnAnnullaClick()
{
    done(QDialog::Rejected);
}

void TFormNuovaCategoria::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormNuovaCategoria::FormShow()
{
    m_nome->clear();
    m_nome->setFocus();
}

}
