// A sample window with skinned buttons, to look at the button pictures as the program shows them:
//   xvfb-run -a sh -c 'build/tests/skin_sample --quit-after 3000 & sleep 2; import -window root shot.png'
#include "platform/Folders.h"
#include "support/Appearance.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace contivo;

namespace {

QToolButton* toolButton(QWidget* parent, const char* picture, const char* hint)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setToolTip(QString::fromUtf8(hint));
    SkinButton(button, QString::fromLatin1(picture), 2);
    return button;
}

QPushButton* pushButton(QWidget* parent, const char* text, const char* picture)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    SkinButton(button, QString::fromLatin1(picture), 2);
    return button;
}

FlatPanel* titleStrip(QWidget* parent, const char* text, const QColor& color)
{
    auto* strip = new FlatPanel(parent);
    strip->setText(QString::fromUtf8(text));
    QFont font = strip->font();
    font.setBold(true);
    strip->setFont(font);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    strip->setPalette(palette);
    ColorFlatPanel(strip, color, 40);
    strip->setFixedHeight(26);
    return strip;
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    setApplicationFolderForTests(QStringLiteral(CONTIVO_SOURCE_DIR "/resources"));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Contivo - pulsanti"));
    auto* layout = new QVBoxLayout(&window);

    // Toolbars of glyph buttons, as the ledger, table and preview windows have them.
    const char* toolbars[][2] = {
        { "BtnAggiungiCategoria", "Aggiungi categoria" },
        { "BtnEliminaCategoria", "Elimina categoria" },
        { "BtnModificaCategoria", "Visualizza movimenti" },
        { "BtnSomma", "Aggiungi nota" },
        { "BtnSottrai", "Elimina nota" },
        { "BtnIndietro", "Anno precedente" },
        { "BtnAvanti", "Anno successivo" },
        { nullptr, nullptr },
        { "BtnStampaDoc", "Stampa" },
        { "BtnXlsDoc", "Excel" },
        { "BtnRangeDate", "Date" },
        { "BtnTags", "Tipologie" },
        { "BtnImportCsv", "Importa" },
        { "BtnCercaRiga", "Cerca" },
        { "BtnImportaCSV", "Importa CSV" },
        { "BtnEsportaTabella", "Esporta" },
        { nullptr, nullptr },
        { "BtnStampa", "Stampa" },
        { "BtnImpostaStampa", "Imposta" },
        { "BtnZoomIn", "Zoom +" },
        { "BtnNormalZoom", "Larghezza" },
        { "BtnZoomOut", "Zoom -" },
        { "BtnPaginaPrecedente", "Indietro" },
        { "BtnPaginaSuccessiva", "Avanti" },
        { "BtnEsportaStampa", "PDF" },
        { "BtnCercaTesto", "Trova" },
        { "BtnChiudiPagina", "Chiudi" },
    };
    auto* bar = new QToolBar(&window);
    for (const auto& entry : toolbars) {
        if (!entry[0])
            bar->addSeparator();
        else
            bar->addWidget(toolButton(bar, entry[0], entry[1]));
    }
    layout->addWidget(bar);

    // Two ledger sides with their coloured title strips and buttons.
    auto* sides = new QHBoxLayout;
    for (int side = 0; side < 2; ++side) {
        auto* box = new QWidget(&window);
        auto* boxLayout = new QVBoxLayout(box);
        boxLayout->setContentsMargins(0, 0, 0, 0);
        auto* strip = titleStrip(
            box, side == 0 ? "Entrate" : "Uscite", side == 0 ? QColor(0, 121, 61) : QColor(150, 20, 20));
        auto* stripLayout = new QHBoxLayout(strip);
        stripLayout->setContentsMargins(2, 0, 2, 0);
        stripLayout->addStretch();
        stripLayout->addWidget(toolButton(strip, "BtnImportCsv", "Importa movimenti"));
        boxLayout->addWidget(strip);
        auto* fields = new QGridLayout;
        fields->addWidget(new QLabel(QStringLiteral("Importo"), box), 0, 0);
        fields->addWidget(new QLineEdit(QStringLiteral("125,50"), box), 0, 1);
        fields->addWidget(new QLabel(QStringLiteral("Commento"), box), 1, 0);
        fields->addWidget(new QLineEdit(QStringLiteral("Spesa settimanale"), box), 1, 1);
        boxLayout->addLayout(fields);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(pushButton(box, "Aggiungi", "BtnAggiungi"));
        buttons->addWidget(pushButton(box, "Aggiorna", "BtnAggiorna"));
        QPushButton* remove = pushButton(box, "  Elimina", "BtnElimina");
        remove->setEnabled(side == 0); // the disabled glyph of the strip
        buttons->addWidget(remove);
        boxLayout->addLayout(buttons);
        sides->addWidget(box);
    }
    layout->addLayout(sides);

    auto* hints = new HintBox(&window);
    hints->setLines({ QStringLiteral("Inserire il nome della categoria e premere Conferma."),
        QStringLiteral("Premere Annulla per tornare alla finestra precedente.") });
    hints->setMaximumHeight(48);
    layout->addWidget(hints);

    // Picture buttons of the dialogs, drawn from the PNG pictures; the second one shows its _Over picture.
    auto* dialogButtons = new QHBoxLayout;
    dialogButtons->addStretch();
    for (const char* name : { "BtnAnnulla", "BtnConferma" }) {
        auto* button = new PngButton(&window);
        button->setText(QString::fromLatin1(name + 3));
        SkinButton(button, QString::fromLatin1(name), 2);
        dialogButtons->addWidget(button);
    }
    auto* over = new PngButton(&window);
    over->setText(QStringLiteral("Sotto il mouse"));
    SkinButton(over, QStringLiteral("BtnConferma"), 2);
    over->setImageNormal(over->imageOver());
    dialogButtons->addWidget(over);
    layout->addLayout(dialogButtons);

    window.resize(860, 280);
    window.move(20, 20);
    window.show();

    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--quit-after")); at >= 0 && at + 1 < args.size())
        QTimer::singleShot(args[at + 1].toInt(), &app, &QApplication::quit);
    return app.exec();
}
