#include "ledger/LedgerComputation.h"

#include "ledger/LedgerDates.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <vector>

namespace contivo::ledger {

namespace {

/// Suspends the grid notifications of a table for a scope, also when an error leaves it.
class ControlliSospesi {
public:
    explicit ControlliSospesi(RecordTable& t)
        : m_t(t)
    {
        m_t.DisableControls();
    }
    ~ControlliSospesi() { m_t.EnableControls(); }
    ControlliSospesi(const ControlliSospesi&) = delete;
    ControlliSospesi& operator=(const ControlliSospesi&) = delete;

private:
    RecordTable& m_t;
};

class LinkSospeso {
public:
    explicit LinkSospeso(RecordTable& t)
        : m_t(t)
    {
        m_t.SuspendLink();
    }
    ~LinkSospeso() { m_t.ResumeLink(); }
    LinkSospeso(const LinkSospeso&) = delete;
    LinkSospeso& operator=(const LinkSospeso&) = delete;

private:
    RecordTable& m_t;
};

}

LedgerComputation::LedgerComputation(TDC& dc)
    : m_dc(dc)
{
    RecordTable& mesi = m_dc.TabellaMesi;
    if (mesi.TotalRowCount() == 0) {
        Field& mese = mesi.FieldByName(QStringLiteral("Mese"));
        for (int m = 1; m <= 12; ++m) {
            mesi.Append();
            mese.SetAsInteger(m);
            mesi.Post();
        }
        mesi.First();
    }
}

RecordTable& LedgerComputation::Entrate()
{
    return m_dc.TabellaEntrate;
}
RecordTable& LedgerComputation::Uscite()
{
    return m_dc.TabellaUscite;
}

QString LedgerComputation::PercorsoMovimenti(const QString& suffisso) const
{
    const QString sub = QStringLiteral("Tabelle/") + QString::number(Anno);
    const QString folder
        = CreaCartelle ? SottocartellaUtente(sub) : CartellaUtente() + sub + QLatin1Char('/');
    return folder + NomeCategoria + QLatin1Char('.') + suffisso;
}

void LedgerComputation::CaricaMovimenti(RecordTable& tabella, const QString& suffisso)
{
    const QString path = PercorsoMovimenti(suffisso);
    tabella.EmptyTable();
    if (QFileInfo::exists(path)) {
        tabella.LoadFromFileViaFormat(path, m_dc.SaveFormat);
        if (tabella.FieldCount() > 3)
            tabella.Fields(3).SetDisplayFormat(QStringLiteral("0.00"));
        if (tabella.FieldCount() > 5)
            tabella.Fields(5).SetDisplayFormat(QStringLiteral("0.00"));
    }
    tabella.SortOn(QStringLiteral("Mese;Data"));

    // Every row of the year gets the month of its date, whatever month is selected. Posting a
    // changed month moves the row in the sort order, so the rows to fix are listed first.
    LinkSospeso tutte(tabella);
    ControlliSospesi quiete(tabella);
    Field& data = tabella.FieldByName(QStringLiteral("Data"));
    Field& mese = tabella.FieldByName(QStringLiteral("Mese"));
    std::vector<std::pair<Bookmark, int>> daCorreggere;
    for (tabella.First(); !tabella.Eof(); tabella.Next()) {
        const int m = MeseData(data.AsDateTime());
        if (mese.IsNull() || mese.AsInteger() != m)
            daCorreggere.emplace_back(tabella.GetBookmark(), m);
    }
    for (const auto& [segno, m] : daCorreggere) {
        tabella.GotoBookmark(segno);
        tabella.Edit();
        mese.SetAsInteger(m);
        tabella.Post();
    }
    tabella.First();
}

void LedgerComputation::SalvaMovimenti(RecordTable& tabella, const QString& suffisso)
{
    if (NomeCategoria.isEmpty())
        return;
    tabella.SaveToFileViaFormat(PercorsoMovimenti(suffisso), m_dc.SaveFormat);
}

void LedgerComputation::RicaricaMovimenti()
{
    CaricaMovimenti(Uscite(), QStringLiteral("OUT"));
    CaricaMovimenti(Entrate(), QStringLiteral("IN"));
}

int LedgerComputation::MeseSelezionato() const
{
    const RecordTable& mesi = m_dc.TabellaMesi;
    if (mesi.RecNo() < 0)
        return 0;
    return static_cast<int>(mesi.FieldByName(QStringLiteral("Mese")).AsInteger());
}

void LedgerComputation::SelezionaMese(int mese)
{
    if (MeseSelezionato() != mese)
        m_dc.TabellaMesi.Locate(QStringLiteral("Mese"), QString::number(mese));
}

void LedgerComputation::fondiLato(RecordTable& tabella, bool entrate, double limite)
{
    Field& data = tabella.FieldByName(QStringLiteral("Data"));
    Field& movimento = tabella.FieldByName(QStringLiteral("Movimento"));
    for (tabella.First(); !tabella.Eof(); tabella.Next()) {
        const double d = data.AsDateTime();
        if (d > limite)
            continue;
        Giorno& g = m_giorni[d];
        (entrate ? g.entrate : g.uscite) += movimento.AsFloat();
        ++g.movimenti;
    }
}

void LedgerComputation::CalcolaSituazione(double limite, int m1, int m2, double saldoIniziale)
{
    RecordTable& situazione = m_dc.TabellaSituazione;
    {
        ControlliSospesi e(Entrate());
        ControlliSospesi u(Uscite());
        situazione.EmptyTable();
        situazione.SortOn(QStringLiteral("Data"));
        const int ricordato = MeseSelezionato();

        // The day rows are gathered by date in memory (the same sums, in the same order, as
        // merging into the day table row by row) and written out once, in date order.
        m_giorni.clear();
        struct RipristinaMese {
            LedgerComputation& l;
            int mese;
            ~RipristinaMese()
            {
                if (mese > 0)
                    l.SelezionaMese(mese);
            }
        } ripristino { *this, ricordato };
        for (int i = m1; i <= m2; ++i) {
            SelezionaMese(i);
            fondiLato(Entrate(), true, limite);
            fondiLato(Uscite(), false, limite);
        }
    }

    ControlliSospesi quiete(situazione);
    Field& data = situazione.FieldByName(QStringLiteral("Data"));
    Field& commento = situazione.FieldByName(QStringLiteral("Commento"));
    Field& entrate = situazione.FieldByName(QStringLiteral("Entrate"));
    Field& uscite = situazione.FieldByName(QStringLiteral("Uscite"));
    Field& saldo = situazione.FieldByName(QStringLiteral("Saldo"));
    double corrente = saldoIniziale;
    for (auto& [giorno, g] : m_giorni) {
        corrente += g.entrate;
        corrente -= g.uscite;
        g.saldo = corrente;
        situazione.Append();
        data.SetAsDateTime(giorno);
        commento.SetAsString(QString::number(g.movimenti) + QStringLiteral(" movimenti"));
        entrate.SetAsFloat(g.entrate);
        uscite.SetAsFloat(g.uscite);
        saldo.SetAsFloat(g.saldo);
        situazione.Post();
    }
    situazione.First();
}

double LedgerComputation::CalcolaSaldoIniziale(int mese)
{
    CalcolaSituazione(UltimoGiornoMese(Anno, mese), 1, mese - 1, 0);
    RecordTable& situazione = m_dc.TabellaSituazione;
    if (situazione.IsEmpty())
        return 0;
    situazione.Last();
    return situazione.FieldByName(QStringLiteral("Saldo")).AsFloat();
}

double LedgerComputation::percorriLato(RecordTable& tabella, const QString& nomeLato)
{
    const bool entrate = nomeLato.toUpper() == QLatin1String("ENTRATE");
    const bool uscite = nomeLato.toUpper() == QLatin1String("USCITE");
    ControlliSospesi quiete(tabella);
    Field& data = tabella.FieldByName(QStringLiteral("Data"));
    Field& movimento = tabella.FieldByName(QStringLiteral("Movimento"));
    Field& saldo = tabella.FieldByName(QStringLiteral("Saldo"));
    double totale = 0;
    for (tabella.First(); !tabella.Eof(); tabella.Next()) {
        const auto g = m_giorni.find(data.AsDateTime());
        if (g != m_giorni.end() && (saldo.IsNull() || saldo.AsFloat() != g->second.saldo)) {
            tabella.Edit();
            saldo.SetAsFloat(g->second.saldo);
            tabella.Post();
        }
        totale += movimento.AsFloat();
    }
    if (entrate)
        m_totali.entrate = totale;
    else if (uscite)
        m_totali.uscite = totale;
    m_totali.saldoFinale = m_totali.saldoIniziale + m_totali.entrate - m_totali.uscite;
    return totale;
}

void LedgerComputation::AggiornaMese()
{
    const int s = MeseSelezionato();
    CalcolaSituazione(UltimoGiornoMese(Anno, s), s, s, m_totali.saldoIniziale);
    m_totali.entrate = 0;
    m_totali.uscite = 0;
    m_totali.saldoFinale = 0;
    percorriLato(Entrate(), QStringLiteral("Entrate"));
    percorriLato(Uscite(), QStringLiteral("Uscite"));
    if (!m_dc.TabellaSituazione.IsEmpty())
        m_dc.TabellaSituazione.Last();
}

void LedgerComputation::CambiaMese(int mese)
{
    SelezionaMese(mese);
    m_totali.saldoIniziale = 0;
    if (mese > 1)
        m_totali.saldoIniziale = CalcolaSaldoIniziale(mese);
    AggiornaMese();
}

bool LedgerComputation::MemorizzaMovimento(
    const TMovimento& movimento, RecordTable& tabella, ModoMemorizza modo)
{
    // A date or an amount that did not convert arrives as a non-finite number or a day outside
    // the calendar; such a movement is refused before the table is touched.
    if (!std::isfinite(movimento.Movimento) || !std::isfinite(movimento.Data) || movimento.Data < 1
        || movimento.Data > 2958465)
        return false;
    try {
        if (modo == ModoMemorizza::Aggiungi || tabella.IsEmpty())
            tabella.Append();
        else
            tabella.Edit();
        tabella.FieldByName(QStringLiteral("Data")).SetAsDateTime(movimento.Data);
        tabella.FieldByName(QStringLiteral("Commento")).SetAsString(movimento.Commento);
        tabella.FieldByName(QStringLiteral("Tipologia")).SetAsString(movimento.Tipologia);
        tabella.FieldByName(QStringLiteral("Movimento")).SetAsFloat(movimento.Movimento);
        tabella.FieldByName(QStringLiteral("Mese")).SetAsInteger(MeseData(movimento.Data));
        tabella.Post();
    } catch (const DatabaseError&) {
        if (tabella.State() == TableState::Edit || tabella.State() == TableState::Insert)
            tabella.Cancel();
        throw;
    }
    return true;
}

}
