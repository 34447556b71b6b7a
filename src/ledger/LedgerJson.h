#pragma once

#include <QString>

namespace contivo {
class RecordTable;
}

namespace contivo::ledger {

class LedgerComputation;

/// The selected month as one JSON object: {"opening", "income", "expense", "closing",
/// "entrate": [rows], "uscite": [rows]}, each row {"data": "YYYY-MM-DD", "tipologia",
/// "commento", "movimento", "saldo"} in the side table's order. Walks both side tables.
QString MeseJson(LedgerComputation& ledger);

/// The day table as a JSON array of {"data", "commento", "entrate", "uscite", "saldo"}.
QString SituazioneJson(RecordTable& situazione);

/// A JSON number: the shortest text that reads back as the same double; null when not finite.
QString JsonNumero(double value);
/// A JSON string literal with the required escapes.
QString JsonTesto(const QString& text);

}
