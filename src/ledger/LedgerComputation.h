#pragma once

#include <QString>
#include <map>

namespace contivo {
class RecordTable;
class TDC;
class Field;
}

namespace contivo::ledger {

/// Shown when a movement cannot be stored because its date or amount does not convert.
inline constexpr const char* kMsgFormatoMovimento
    = "La data o l'importo del movimento non sono nel formato corretto.";

/// One movement as the edit fields give it, on its way to a side table.
struct TMovimento {
    double Data = 0; ///< date-time number
    double Movimento = 0; ///< the amount
    QString Commento;
    QString Tipologia;
};

enum class ModoMemorizza { Aggiungi, Aggiorna };

/// The month view's four numbers.
struct TotaliMese {
    double saldoIniziale = 0;
    double entrate = 0;
    double uscite = 0;
    double saldoFinale = 0;
};

/// The ledger of one category and one year over the data module's tables: loading and saving
/// the two side files, the day-by-day balance table, the opening balance of a month, the month
/// view with its totals and the balance beside every movement, and the store of a movement.
///
/// The side tables are detail tables of the month list on "Mese": every walk sees the selected
/// month's rows only. Nothing is cached between month changes except the opening balance.
class LedgerComputation {
public:
    /// Fills the month list with 1..12 when it is empty.
    explicit LedgerComputation(TDC& dc);

    int Anno = 0;
    QString NomeCategoria;
    /// When false, loading forms paths without creating the year folder (read-only callers).
    bool CreaCartelle = true;

    TDC& dc() { return m_dc; }
    RecordTable& Entrate();
    RecordTable& Uscite();

    /// The year file of a side: user data folder, "Tabelle/", year, "/", name, ".", suffix.
    QString PercorsoMovimenti(const QString& suffisso) const;

    /// Loads a side's year file (a missing file leaves the side empty), sets the amount formats,
    /// sorts on "Mese;Data" and gives every row the month of its date.
    void CaricaMovimenti(RecordTable& tabella, const QString& suffisso);
    /// Writes every row of the side to its year file; nothing when the category has no name.
    void SalvaMovimenti(RecordTable& tabella, const QString& suffisso);
    /// Loads the expense side, then the income side.
    void RicaricaMovimenti();

    /// Rebuilds the day table: one row per date of months m1..m2 not after the limit, with the
    /// day's income, expenses, "n movimenti" and the balance at the close of the day.
    void CalcolaSituazione(double limite, int m1, int m2, double saldoIniziale);
    /// The balance at the start of month m of Anno, counted from 0 on 1 January.
    double CalcolaSaldoIniziale(int mese);
    /// Recomputes the selected month from the stored opening balance: the day table, the balance
    /// beside every movement and the totals. Leaves each side on its month's last row.
    void AggiornaMese();
    /// Month change: selects the month, works out its opening balance, then AggiornaMese.
    void CambiaMese(int mese);

    /// Adds the movement, or writes it over the side's current row (an empty month adds it).
    /// Returns false, storing nothing, when the date or the amount did not convert (a non-finite
    /// number or a day outside the calendar); the caller then shows kMsgFormatoMovimento.
    bool MemorizzaMovimento(const TMovimento& movimento, RecordTable& tabella, ModoMemorizza modo);

    /// The selected month of the month list (1..12; 0 when the list has no current row).
    int MeseSelezionato() const;
    void SelezionaMese(int mese);

    const TotaliMese& Totali() const { return m_totali; }
    void SetSaldoIniziale(double v) { m_totali.saldoIniziale = v; }

private:
    void fondiLato(RecordTable& tabella, bool entrate, double limite);
    double percorriLato(RecordTable& tabella, const QString& nomeLato);

    struct Giorno {
        double entrate = 0;
        double uscite = 0;
        int movimenti = 0;
        double saldo = 0;
    };

    TDC& m_dc;
    TotaliMese m_totali;
    std::map<double, Giorno> m_giorni; ///< the day table of the last CalcolaSituazione, by date
};

}
