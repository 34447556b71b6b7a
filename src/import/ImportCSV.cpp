#include "import/ImportCSV.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/DateTime.h"
#include "base/SystemFormats.h"
#include "import/CsvText.h"
#include "import/CsvWorkingCopy.h"
#include "storage/RecordTable.h"
#include "support/DialogProvider.h"
#include "support/Seams.h"

#include <vector>

namespace contivo {
namespace {

// Keeps bound views quiet for the length of the reading, restoring them on every way out.
class ControlsDisabled {
public:
    explicit ControlsDisabled(RecordTable& table)
        : m_table(table)
    {
        m_table.DisableControls();
    }
    ~ControlsDisabled() { m_table.EnableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    RecordTable& m_table;
};

// One mapping item resolved against the table once per import.
struct ColumnTarget {
    bool ignore = false;
    Field* field = nullptr;
    std::string missingFieldError; ///< the table's error, raised for every row when field is null
};

std::vector<ColumnTarget> resolveMapping(RecordTable& table, const CsvInterface& layout)
{
    std::vector<ColumnTarget> targets;
    for (const QString& item : layout.mappingItems()) {
        const CsvMappingItem m = parseMappingItem(item);
        ColumnTarget t;
        t.ignore = m.ignore;
        if (!m.ignore) {
            t.field = table.FindField(m.fieldName);
            if (!t.field) {
                try {
                    table.FieldByName(m.fieldName);
                    t.missingFieldError = "Field not found";
                } catch (const std::exception& e) {
                    t.missingFieldError = e.what();
                }
            }
        }
        targets.push_back(std::move(t));
    }
    return targets;
}

struct DateRule {
    csv::DateOrder order;
    QChar separator;
    int currentYear;
};

void setColumn(Field& field, QStringView column, const DateRule& dates)
{
    switch (field.DataType()) {
    case FieldType::Integer:
        field.SetAsInteger(csv::parseInteger(column).value_or(0));
        break;
    case FieldType::Float:
        field.SetAsFloat(csv::parseNumber(column).value_or(0.0));
        break;
    case FieldType::Boolean:
        field.SetAsBoolean(csv::parseBoolean(column));
        break;
    case FieldType::Date: {
        if (column.isEmpty()) {
            field.Clear();
            break;
        }
        const auto date = csv::parseDate(column, dates.order, dates.separator, dates.currentYear);
        if (!date)
            throw DatabaseError(QStringLiteral("'%1' is not a valid date").arg(column));
        field.SetAsDateTime(dt::fromDate(*date));
        break;
    }
    default:
        field.SetAsText(column);
        break;
    }
}

}

int ImportCSV::Import(RecordTable& table, const QString& interfacePath, const QString& csvPath, bool append)
{
    m_errors.clear();
    if (!append)
        table.EmptyTable();
    return Import(table, CsvInterface::load(interfacePath), csvPath, true);
}

int ImportCSV::Import(RecordTable& table, const CsvInterface& layout, const QString& csvPath, bool append)
{
    m_errors.clear();
    if (!append)
        table.EmptyTable();

    // The copy is complete before the first row is converted; its lines are then read back a piece
    // at a time.
    CsvWorkingCopy copy(csvPath, layout);

    const std::vector<ColumnTarget> targets = resolveMapping(table, layout);
    const QString systemDate = SystemFormats::shortDateFormat();
    const DateRule dates { csv::dateOrderOf(layout.dateFormat)
                               .value_or(csv::dateOrderOf(systemDate).value_or(csv::DateOrder::DayMonthYear)),
        csv::dateSeparatorOf(systemDate), Today().year() };

    ControlsDisabled quiet(table);
    int added = 0;
    qsizetype lineNumber = -1;
    int headingsLeft = layout.headerRows;
    csv::Columns columns;
    copy.forEachLine([&](QStringView line) {
        ++lineNumber;
        if (csv::isBlankLine(line))
            return true;
        if (headingsLeft > 0) {
            --headingsLeft;
            return true;
        }
        if (layout.delimiter)
            csv::cutEnclosedColumns(line, *layout.delimiter, layout.separator, columns);
        else
            csv::cutColumns(line, layout.separator, columns);
        try {
            table.Append();
            for (size_t n = 0; n < targets.size(); ++n) {
                const ColumnTarget& target = targets[n];
                if (target.ignore)
                    continue;
                if (!target.field)
                    throw DatabaseError(target.missingFieldError);
                const QStringView column = n < static_cast<size_t>(columns.size())
                    ? columns[static_cast<qsizetype>(n)]
                    : QStringView();
                setColumn(*target.field, column, dates);
            }
            table.Post();
            ++added;
        } catch (const std::exception& e) {
            table.Cancel();
            m_errors
                << QStringLiteral("Error in record %1: %2").arg(lineNumber).arg(QString::fromUtf8(e.what()));
        }
        return true;
    });
    return added;
}

QByteArray ImportCSV::ExportBytes(RecordTable& dataSet, const CsvInterface& layout)
{
    QString out;
    const int fieldCount = dataSet.FieldCount();
    dataSet.First();
    while (!dataSet.Eof()) {
        for (int i = 0; i < fieldCount; ++i) {
            const Field& field = dataSet.Fields(i);
            if (i > 0)
                out += layout.separator;
            if (layout.delimiter)
                out += *layout.delimiter;
            if (field.DataType() == FieldType::Boolean)
                out += field.AsBoolean() ? layout.trueString : layout.falseString;
            else
                out += field.AsString();
            if (layout.delimiter)
                out += *layout.delimiter;
        }
        out += QLatin1String("\r\n");
        dataSet.Next();
    }
    return cp1252::encode(out);
}

void ImportCSV::Export(RecordTable& dataSet, const QString& interfacePath, const QString& csvPath)
{
    const CsvInterface layout = CsvInterface::forExport(interfacePath);
    writeFileAtomically(csvPath, ExportBytes(dataSet, layout));
}

void ExportCsv(RecordTable& dataSet, const QString& interfacePath, QWidget* owner)
{
    FileDialogRequest request;
    request.filter = QStringLiteral("File CSV (*.csv *.CSV);;Tutti i file (*)");
    request.defaultExtension = QStringLiteral("CSV");
    const QString path = DialogProvider::instance().saveFileName(owner, request);
    if (path.isEmpty())
        return;
    ImportCSV::Export(dataSet, interfacePath, path);
}

}
