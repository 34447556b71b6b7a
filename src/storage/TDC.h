#pragma once

#include "storage/RecordTable.h"
#include "storage/TableFile.h"

#include <QObject>
#include <QString>

namespace contivo {

/// The data module: owns every record table of the program, names the data sources and report
/// data sets bound to them and carries the table file format object. One instance lives for the
/// whole run (see DC()).
///
/// The constructor only declares the tables (fields, indexes, links, display formats) and
/// touches no file; DCCreate() does the start-up work.
class TDC : public QObject {
    Q_OBJECT
public:
    explicit TDC(QObject* parent = nullptr);
    ~TDC() override;

    /// Start-up: prepares the program's folders ("Stellaro/Contivo") and loads the movement
    /// types from Tabelle/Tipologie.DAT of the user data folder. Errors are raised to the caller.
    void DCCreate();

    RecordTable TabellaEntrate { QStringLiteral("TabellaEntrate") };
    RecordTable TabellaUscite { QStringLiteral("TabellaUscite") };
    RecordTable TabellaMesi { QStringLiteral("TabellaMesi") };
    RecordTable TabellaGlobale { QStringLiteral("TabellaGlobale") };
    RecordTable TabellaRiepilogo { QStringLiteral("TabellaRiepilogo") };
    RecordTable TabellaSituazione { QStringLiteral("TabellaSituazione") };
    RecordTable TabellaImport { QStringLiteral("TabellaImport") };
    RecordTable Tipologie { QStringLiteral("Tipologie") };

    TableFileFormat SaveFormat;

    /// A table by its name ("TabellaEntrate", ...); nullptr when unknown.
    RecordTable* Table(const QString& name);
    /// The table behind a data source name: DataEntrate, DataUscite, DataMesi, DataGlobale,
    /// DataRiepilogo, DataSource1; nullptr when unknown.
    RecordTable* DataSource(const QString& name);
    /// The table behind a report data set name: ReportGlobale, ReportRiepilogo,
    /// ReportSituazione; nullptr when unknown.
    RecordTable* ReportDataSet(const QString& name);

    /// Declares the six movement fields (Data, Tipologia, Commento, Movimento "0.00", Mese,
    /// Saldo "0.00") on a table with no fields.
    static void DeclareMovementFields(RecordTable& table);
};

/// The program's data module: the first TDC constructed registers itself until destroyed;
/// nullptr when none exists.
TDC* DC();

/// Loads a table from SottocartellaUtente(folder) + name + "." + extension when the file exists
/// (a missing file leaves the table as it is), then sorts on the trimmed sort list when not empty.
void CaricaTabella(RecordTable& table, const QString& folder, const QString& name, const QString& sort = {},
    const QString& extension = QStringLiteral("DAT"));
/// Writes the table to its file (folder created when missing) only when flag is exactly 1.
void SalvaTabella(RecordTable& table, const QString& folder, const QString& name, int flag,
    const QString& extension = QStringLiteral("DAT"));
/// Keeps the rows of the year (setting Mese to the month of Data) and deletes the others; visits
/// every row whatever the link and order. Returns count lowered by one per deleted row.
int FiltraAnno(RecordTable& table, int year, int count);
/// Locate with no options.
bool CercaValore(RecordTable& table, const QString& fields, const QString& value);
/// Locate case-insensitive and by prefix.
bool CercaInizio(RecordTable& table, const QString& fields, const QString& value);
/// True when the table has the field (name compared without regard to case).
bool EsisteCampo(const RecordTable& table, const QString& field);
/// The type number of the field (see FieldType); -1 when absent.
int TipoCampo(const RecordTable& table, const QString& field);
/// True when the field exists and is SmallInt or Integer.
bool CampoIntero(const RecordTable& table, const QString& field);
/// The current row's value as text; empty when the field does not exist.
QString ValoreCampo(const RecordTable& table, const QString& field);
/// The current row's value as integer; -1 when the field does not exist or does not read as one.
qint64 ValoreIntero(const RecordTable& table, const QString& field);

}
