#include "storage/TDC.h"

#include "base/DateTime.h"
#include "base/StringUtils.h"
#include "config/Startup.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFile>

#include <cmath>

namespace contivo {
namespace {
TDC*& instance()
{
    static TDC* dc = nullptr;
    return dc;
}

const TableFileFormat& format()
{
    static const TableFileFormat fallback;
    return DC() ? DC()->SaveFormat : fallback;
}

QString folderPath(const QString& folder)
{
    return str::withTrailingSeparator(SottocartellaUtente(folder).trimmed());
}

// Restores notification and link however the walk ends.
class WholeTableWalk {
public:
    explicit WholeTableWalk(RecordTable& table)
        : m_table(table)
    {
        m_table.DisableControls();
        m_table.SuspendLink();
    }
    ~WholeTableWalk()
    {
        try {
            m_table.ResumeLink();
            if (m_table.State() == TableState::Browse)
                m_table.First();
        } catch (...) {
            // The walk's own error is the one the caller needs to see.
        }
        m_table.EnableControls();
    }
    WholeTableWalk(const WholeTableWalk&) = delete;
    WholeTableWalk& operator=(const WholeTableWalk&) = delete;

private:
    RecordTable& m_table;
};
}

TDC* DC()
{
    return instance();
}

void TDC::DeclareMovementFields(RecordTable& table)
{
    table.AddField(QStringLiteral("Data"), FieldType::Date);
    table.AddField(QStringLiteral("Tipologia"), FieldType::String, 16);
    table.AddField(QStringLiteral("Commento"), FieldType::String, 128);
    table.AddField(QStringLiteral("Movimento"), FieldType::Float).SetDisplayFormat(QStringLiteral("0.00"));
    table.AddField(QStringLiteral("Mese"), FieldType::Integer);
    table.AddField(QStringLiteral("Saldo"), FieldType::Float).SetDisplayFormat(QStringLiteral("0.00"));
}

TDC::TDC(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("DC"));
    if (!instance())
        instance() = this;

    const QString mese = QStringLiteral("Mese");

    TabellaMesi.AddField(mese, FieldType::Integer);
    TabellaMesi.AddIndex(QStringLiteral("TabellaMesiIdx"), mese, { .unique = true, .primary = true });

    for (RecordTable* t : { &TabellaEntrate, &TabellaUscite }) {
        DeclareMovementFields(*t);
        t->SetMasterSource(&TabellaMesi);
        t->SetMasterFields(mese);
    }

    TabellaGlobale.AddField(QStringLiteral("Data"), FieldType::Date);
    TabellaGlobale.AddField(QStringLiteral("Tipologia"), FieldType::String, 16);
    TabellaGlobale.AddField(QStringLiteral("Commento"), FieldType::String, 128);
    TabellaGlobale.AddField(QStringLiteral("Movimento"), FieldType::Float)
        .SetDisplayFormat(QStringLiteral("0.00"));
    TabellaGlobale.AddField(QStringLiteral("Tipo"), FieldType::String, 16);
    TabellaGlobale.AddField(mese, FieldType::Integer);
    TabellaGlobale.AddIndex(QStringLiteral("IndiceTipo"), QStringLiteral("Tipo"));

    TabellaRiepilogo.AddField(mese, FieldType::String, 16);
    TabellaRiepilogo.AddField(QStringLiteral("Tipologia"), FieldType::String, 16);
    TabellaRiepilogo.AddField(QStringLiteral("Entrate"), FieldType::Float);
    TabellaRiepilogo.AddField(QStringLiteral("Uscite"), FieldType::Float);

    TabellaSituazione.AddField(QStringLiteral("Data"), FieldType::Date);
    TabellaSituazione.AddField(QStringLiteral("Commento"), FieldType::String, 128);
    TabellaSituazione.AddField(QStringLiteral("Entrate"), FieldType::Float);
    TabellaSituazione.AddField(QStringLiteral("Uscite"), FieldType::Float);
    TabellaSituazione.AddField(QStringLiteral("Saldo"), FieldType::Float);

    // The import table holds a category side file, so it has the movement table's six fields:
    // a file it creates opens in the ledger, and a "Tipologia" column of the interface maps.
    DeclareMovementFields(TabellaImport);
    TabellaImport.SetMasterSource(&TabellaMesi);
    TabellaImport.SetMasterFields(mese);

    Tipologie.AddField(QStringLiteral("Tipologia"), FieldType::String, 32);
    Tipologie.AddField(QStringLiteral("Colore"), FieldType::Integer);
    Tipologie.AddIndex(
        QStringLiteral("IndiceTipologia"), QStringLiteral("Tipologia"), { .unique = true, .primary = true });
}

TDC::~TDC()
{
    if (instance() == this)
        instance() = nullptr;
}

void TDC::DCCreate()
{
    InizializzaCartelle(QStringLiteral("Stellaro/Contivo"));
    CaricaTabella(Tipologie, QStringLiteral("Tabelle"), QStringLiteral("Tipologie"));
}

RecordTable* TDC::Table(const QString& name)
{
    for (RecordTable* t : { &TabellaEntrate, &TabellaUscite, &TabellaMesi, &TabellaGlobale, &TabellaRiepilogo,
             &TabellaSituazione, &TabellaImport, &Tipologie })
        if (t->Name() == name)
            return t;
    return nullptr;
}

RecordTable* TDC::DataSource(const QString& name)
{
    static const std::pair<const char*, const char*> sources[] = {
        { "DataEntrate", "TabellaEntrate" },
        { "DataUscite", "TabellaUscite" },
        { "DataMesi", "TabellaMesi" },
        { "DataGlobale", "TabellaGlobale" },
        { "DataRiepilogo", "TabellaRiepilogo" },
        { "DataSource1", "TabellaSituazione" },
    };
    for (const auto& [source, table] : sources)
        if (name == QLatin1String(source))
            return Table(QString::fromLatin1(table));
    return nullptr;
}

RecordTable* TDC::ReportDataSet(const QString& name)
{
    if (name == QLatin1String("ReportGlobale"))
        return &TabellaGlobale;
    if (name == QLatin1String("ReportRiepilogo"))
        return &TabellaRiepilogo;
    if (name == QLatin1String("ReportSituazione"))
        return &TabellaSituazione;
    return nullptr;
}

void CaricaTabella(RecordTable& table, const QString& folder, const QString& name, const QString& sort,
    const QString& extension)
{
    const QString file = folderPath(folder) + name + u'.' + extension;
    if (QFile::exists(file))
        table.LoadFromFileViaFormat(file, format());
    if (!sort.trimmed().isEmpty())
        table.SortOn(sort.trimmed());
}

void SalvaTabella(
    RecordTable& table, const QString& folder, const QString& name, int flag, const QString& extension)
{
    if (flag != 1)
        return; // not even the folder is created
    const QString path = folderPath(folder);
    QDir().mkpath(path);
    table.SaveToFileViaFormat(path + name + u'.' + extension, format());
}

int FiltraAnno(RecordTable& table, int year, int count)
{
    Field& data = table.FieldByName(QStringLiteral("Data"));
    const int dataIndex = data.Index();
    const int meseIndex = table.FieldByName(QStringLiteral("Mese")).Index();
    WholeTableWalk walk(table);
    // Every row is visited once, by bookmark, whatever the order does as months change.
    std::vector<Bookmark> rows;
    const int n = table.RecordCount();
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        rows.push_back(table.VisibleBookmark(i));
    for (Bookmark b : rows) {
        table.GotoBookmark(b);
        const double value = table.Fields(dataIndex).AsDateTime();
        // A number no calendar holds belongs to no year.
        const QDate day = std::isfinite(value) && std::fabs(value) < 1e9 ? dt::toDate(value) : QDate();
        if (!day.isValid() || day.year() != year) {
            table.Delete();
            --count;
        } else {
            table.Edit();
            table.Fields(meseIndex).SetAsInteger(day.month());
            table.Post();
        }
    }
    return count;
}

bool CercaValore(RecordTable& table, const QString& fields, const QString& value)
{
    return table.Locate(fields, value);
}

bool CercaInizio(RecordTable& table, const QString& fields, const QString& value)
{
    return table.Locate(fields, value, { .caseInsensitive = true, .partialKey = true });
}

bool EsisteCampo(const RecordTable& table, const QString& field)
{
    return table.FindField(field) != nullptr;
}

int TipoCampo(const RecordTable& table, const QString& field)
{
    const Field* f = table.FindField(field);
    return f ? static_cast<int>(f->DataType()) : -1;
}

bool CampoIntero(const RecordTable& table, const QString& field)
{
    const Field* f = table.FindField(field);
    return f && (f->DataType() == FieldType::SmallInt || f->DataType() == FieldType::Integer);
}

QString ValoreCampo(const RecordTable& table, const QString& field)
{
    const Field* f = table.FindField(field);
    return f ? f->AsString() : QString();
}

qint64 ValoreIntero(const RecordTable& table, const QString& field)
{
    const Field* f = table.FindField(field);
    if (!f)
        return -1;
    try {
        return f->AsInteger();
    } catch (...) {
        return -1;
    }
}

}
