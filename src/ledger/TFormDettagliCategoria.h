#pragma once

#include "ledger/ElencoTipologie.h"
#include "ledger/LedgerComputation.h"
#include "support/DialogProvider.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTableView;
class QToolBar;
class QToolButton;
class QAbstractItemModel;

namespace contivo {
class FlatPanel;
class RecordTable;
class TDC;
}

namespace contivo::ledger {

class GrigliaDelegate;
class ImportoEdit;
class TipologiaCombo;

/// Widths of the ledger's side panels and grid columns (the sizes rule of the window).
struct MisureLedger {
    /// Width of the income panel in a tab area of the given width (the expense panel takes the rest).
    static int larghezzaEntrate(int larghezzaArea, int spazio = 3)
    {
        return (larghezzaArea - spazio - 16) / 2;
    }
    /// Width left to the comment column of a grid.
    static int larghezzaCommento(int larghezzaGriglia, int altreColonne, int barraScorrimento)
    {
        return larghezzaGriglia - altreColonne - barraScorrimento - 4;
    }
};

/// The ledger window: one category's movements of one year, a month at a time, income on the
/// left and expenses on the right, each with its grid, edit fields and commands; four totals
/// below. Every command writes the side's year file at once.
class TFormDettagliCategoria : public QDialog {
    Q_OBJECT
public:
    /// Works on the data module's tables (the program's one, DC(), when none is given).
    explicit TFormDettagliCategoria(QWidget* parent = nullptr, TDC* dc = nullptr);
    ~TFormDettagliCategoria() override;

    int Anno() const { return m_ledger.Anno; }
    void setAnno(int anno) { m_ledger.Anno = anno; }
    QString NomeCategoria() const { return m_ledger.NomeCategoria; }
    void setNomeCategoria(const QString& nome) { m_ledger.NomeCategoria = nome; }

    /// Reloads both year files and shows the selected month again (the watched-folder import
    /// calls it on an open ledger).
    void RicaricaCategoria();

    LedgerComputation& ledger() { return m_ledger; }
    const ElencoTipologie& elencoTipologie() const { return m_elenco; }
    int larghezzaTipologie() const { return m_larghezzaTipologie; }

    /// The save dialog of the exports and the open dialog of the side import.
    const FileDialogRequest EsportaFile;
    const FileDialogRequest ImportaFile;

public slots:
    void FormCreate();
    void FormShow();
    void TabMesiChange();
    void BtnAggiungiEntrataClick();
    void BtnAggiornaEntrataClick();
    void BtnEliminaEntrataClick();
    void BtnAggiungiUscitaClick();
    void BtnAggiornaUscitaClick();
    void BtnEliminaUscitaClick();
    void BtnImportaEntrateClick();
    void BtnImportaUsciteClick();
    void BtnDisabilitaMeseClick();
    void BtnStampaClick();
    void BtnEsportaClick();
    void FormResize();
    void PnlDettaglioEntrateResize();
    void PnlDettaglioUsciteResize();
    /// Refreshes one side's edit fields from its current row; lato is "Entrata" or "Uscita".
    void AggiornaCampi(const QString& lato);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Lato;
    Lato& lato(const QString& nome);
    void costruisci();
    QWidget* costruisciPannello(Lato& l, const QString& titolo, const QColor& colore, const QColor& sfondo,
        const QString& suggerimentoImporta);
    QWidget* costruisciTotali();
    void memorizza(Lato& l, ModoMemorizza modo);
    void elimina(Lato& l);
    void importa(Lato& l);
    void mostraTotali();
    void ridimensionaDettaglio(Lato& l);
    void ridimensionaColonne(Lato& l);
    void grigliaCorrente(Lato& l, int riga);
    void costruisciElencoTipologie();
    /// Runs a command; what it raises is shown in the standard error box and ends it.
    void comando(const std::function<void()>& f);

    LedgerComputation m_ledger;
    ElencoTipologie m_elenco;
    int m_larghezzaTipologie = 64;
    bool m_mostrata = false;

    QMainWindow* m_corpo = nullptr;
    QToolBar* BarraPulsanti = nullptr;
    QToolButton* BtnStampa = nullptr;
    QToolButton* BtnEsporta = nullptr;
    QToolButton* BtnDisabilitaMese = nullptr;
    QToolButton* BtnMostraTipologie = nullptr;
    QMenu* MenuStampa = nullptr;
    QMenu* MenuEsporta = nullptr;
    QTabBar* TabMesi = nullptr;
    QWidget* m_areaMesi = nullptr;
    QLabel* LblTotIniziale = nullptr;
    QLabel* LblTotEntrate = nullptr;
    QLabel* LblTotUscite = nullptr;
    QLabel* LblTotMovimenti = nullptr;
    QList<QLabel*> m_segni;
    std::unique_ptr<Lato> m_entrate;
    std::unique_ptr<Lato> m_uscite;
};

}
