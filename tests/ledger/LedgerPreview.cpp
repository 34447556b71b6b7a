// Shows the ledger window over a realistic month of data, for looking at it (screenshots under
// Xvfb). Usage: ledger_preview [OUTPUT.png] — with an output path the window is also grabbed
// into that file; the program closes itself after a few seconds.
#include "base/DateTime.h"
#include "ledger/TFormDettagliCategoria.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <QApplication>
#include <QDate>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace contivo;

namespace {

struct Voce {
    int giorno;
    const char* tipo;
    const char* commento;
    double importo;
};

void scrivi(TDC& dc, const QString& path, int mese, std::initializer_list<Voce> voci)
{
    RecordTable t(QStringLiteral("Anteprima"));
    TDC::DeclareMovementFields(t);
    for (const Voce& v : voci) {
        t.Append();
        t.FieldByName(QStringLiteral("Data")).SetAsDateTime(dt::fromDate(QDate(2024, mese, v.giorno)));
        t.FieldByName(QStringLiteral("Tipologia")).SetAsString(QString::fromUtf8(v.tipo));
        t.FieldByName(QStringLiteral("Commento")).SetAsString(QString::fromUtf8(v.commento));
        t.FieldByName(QStringLiteral("Movimento")).SetAsFloat(v.importo);
        t.FieldByName(QStringLiteral("Mese")).SetAsInteger(mese);
        t.Post();
    }
    dc.SaveFormat.Save(t, path);
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    setApplicationFolderForTests(QStringLiteral(CONTIVO_APPDIR));
    setUserFolder(dir.path());
    TDC dc;
    const std::pair<const char*, int> tipi[] = { { "Stipendio", 0x3D7900 }, { "Spesa", 0x0080FF },
        { "Casa", 0x800080 }, { "Auto", 0x804000 }, { "Svago", 0xB77B00 }, { "Bollette", 0x20238E } };
    for (const auto& [nome, colore] : tipi) {
        dc.Tipologie.Append();
        dc.Tipologie.FieldByName(QStringLiteral("Tipologia")).SetAsString(QString::fromUtf8(nome));
        dc.Tipologie.FieldByName(QStringLiteral("Colore")).SetAsInteger(colore);
        dc.Tipologie.Post();
    }
    const QString cartella = SottocartellaUtente(QStringLiteral("Tabelle/2024"));
    scrivi(dc, cartella + QStringLiteral("Conto corrente.IN"), 1,
        { { 10, "Stipendio", "Stipendio di gennaio", 1850.00 }, { 15, "", "Rimborso spese mediche", 74.30 },
            { 22, "Svago", "Vendita bicicletta usata", 120.00 },
            { 27, "Stipendio", "Straordinari dicembre", 212.45 } });
    scrivi(dc, cartella + QStringLiteral("Conto corrente.OUT"), 1,
        { { 2, "Casa", "Affitto gennaio", 950.00 }, { 3, "Spesa", "Supermercato", 86.72 },
            { 8, "Bollette", "Luce e gas bimestre", 143.18 }, { 10, "Spesa", "Mercato rionale", 32.50 },
            { 12, "Auto", "Rifornimento", 65.00 }, { 15, "Svago", "Cinema e cena", 58.90 },
            { 19, "Spesa", "Supermercato", 104.37 }, { 24, "Auto", "Tagliando", 289.00 },
            { 28, "Bollette", "Telefono e internet", 29.99 }, { 30, "Casa", "Condominio", 1480.00 } });

    ledger::TFormDettagliCategoria w(nullptr, &dc);
    w.setAnno(2024);
    w.setNomeCategoria(QStringLiteral("Conto corrente"));
    w.show();
    w.findChild<QToolButton*>(QStringLiteral("BtnMostraTipologie"))->click();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTimer::singleShot(1500, &w, [&] {
        if (!out.isEmpty())
            w.grab().save(out);
    });
    QTimer::singleShot(4000, &app, &QApplication::quit);
    return app.exec();
}
