#include "ledger/LedgerJson.h"

#include "base/DateTime.h"
#include "ledger/LedgerComputation.h"
#include "storage/RecordTable.h"

#include <QLocale>
#include <cmath>

namespace contivo::ledger {

QString JsonNumero(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString JsonTesto(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

namespace {

QString dataIso(const Field& data)
{
    if (data.IsNull())
        return QStringLiteral("null");
    return JsonTesto(dt::toDate(data.AsDateTime()).toString(QStringLiteral("yyyy-MM-dd")));
}

QString righeLato(RecordTable& t)
{
    const Field& data = t.FieldByName(QStringLiteral("Data"));
    const Field& tipologia = t.FieldByName(QStringLiteral("Tipologia"));
    const Field& commento = t.FieldByName(QStringLiteral("Commento"));
    const Field& movimento = t.FieldByName(QStringLiteral("Movimento"));
    const Field& saldo = t.FieldByName(QStringLiteral("Saldo"));
    QStringList righe;
    for (t.First(); !t.Eof(); t.Next()) {
        righe << QStringLiteral(
            "{\"data\": %1, \"tipologia\": %2, \"commento\": %3, \"movimento\": %4, \"saldo\": %5}")
                     .arg(dataIso(data), JsonTesto(tipologia.AsString()), JsonTesto(commento.AsString()),
                         JsonNumero(movimento.AsFloat()), JsonNumero(saldo.AsFloat()));
    }
    return QLatin1Char('[') + righe.join(QStringLiteral(", ")) + QLatin1Char(']');
}

}

QString MeseJson(LedgerComputation& ledger)
{
    const TotaliMese& t = ledger.Totali();
    return QStringLiteral(
        "{\"opening\": %1, \"income\": %2, \"expense\": %3, \"closing\": %4, \"entrate\": %5, "
        "\"uscite\": %6}")
        .arg(JsonNumero(t.saldoIniziale), JsonNumero(t.entrate), JsonNumero(t.uscite),
            JsonNumero(t.saldoFinale), righeLato(ledger.Entrate()), righeLato(ledger.Uscite()));
}

QString SituazioneJson(RecordTable& situazione)
{
    const Field& data = situazione.FieldByName(QStringLiteral("Data"));
    const Field& commento = situazione.FieldByName(QStringLiteral("Commento"));
    const Field& entrate = situazione.FieldByName(QStringLiteral("Entrate"));
    const Field& uscite = situazione.FieldByName(QStringLiteral("Uscite"));
    const Field& saldo = situazione.FieldByName(QStringLiteral("Saldo"));
    QStringList righe;
    for (situazione.First(); !situazione.Eof(); situazione.Next()) {
        righe << QStringLiteral(
            "{\"data\": %1, \"commento\": %2, \"entrate\": %3, \"uscite\": %4, \"saldo\": %5}")
                     .arg(dataIso(data), JsonTesto(commento.AsString()), JsonNumero(entrate.AsFloat()),
                         JsonNumero(uscite.AsFloat()), JsonNumero(saldo.AsFloat()));
    }
    return QLatin1Char('[') + righe.join(QStringLiteral(", ")) + QLatin1Char(']');
}

}
