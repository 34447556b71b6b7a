#include "app/MovementImport.h"

#include "import/ImportCSV.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <QFileInfo>

namespace contivo {

namespace {

std::vector<FieldDef> movementFields()
{
    RecordTable model(QStringLiteral("TabellaImport"));
    TDC::DeclareMovementFields(model);
    return model.FieldDefs();
}

// The table holds the movement table's six fields and no row.
void resetToMovementTable(RecordTable& table)
{
    table.ReplaceContent(movementFields(), {}, {});
}

}

CsvImportFunction defaultCsvImport()
{
    return [](RecordTable& table, const QString& interfaceFile, const QString& csvFile, bool append) {
        ImportCSV engine;
        return engine.Import(table, interfaceFile, csvFile, append);
    };
}

MovementImport::MovementImport(TDC& dc, CsvImportFunction engine)
    : m_dc(dc)
    , m_engine(std::move(engine))
{
}

QString MovementImport::interfaceFile()
{
    return SottocartellaProgramma(QStringLiteral("Interfacce")) + QStringLiteral("Movimenti.hdr");
}

int MovementImport::run(
    const QString& csvFile, const QString& category, const QString& yearText, const QString& suffix)
{
    const QString yearFolder = SottocartellaUtente(QStringLiteral("Tabelle/") + yearText);
    const QString sideFile = yearFolder + category + QLatin1Char('.') + suffix;
    RecordTable& table = m_dc.TabellaImport;

    const bool sideFileExisted = QFileInfo::exists(sideFile);
    if (sideFileExisted)
        m_dc.SaveFormat.Load(table, sideFile);
    else
        resetToMovementTable(table);

    int n = m_engine(table, interfaceFile(), csvFile, sideFileExisted);
    if (n <= 0)
        return n;

    n = FiltraAnno(table, yearText.toInt(), n);
    m_dc.SaveFormat.Save(table, sideFile);

    for (const QString& twin : { QStringLiteral("IN"), QStringLiteral("OUT") }) {
        const QString twinFile = yearFolder + category + QLatin1Char('.') + twin;
        if (!QFileInfo::exists(twinFile)) {
            resetToMovementTable(table);
            m_dc.SaveFormat.Save(table, twinFile);
        }
    }
    return n;
}

}
