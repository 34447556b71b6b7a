#include "AppFixture.h"

#include "app/CategoryListView.h"
#include "base/AtomicFile.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace contivo::testing {

void writeMovements(const QString& path, const std::vector<Row>& rows)
{
    RecordTable table(QStringLiteral("Movimenti"));
    TDC::DeclareMovementFields(table);
    for (const Row& r : rows) {
        table.Append();
        table.FieldByName(QStringLiteral("Data")).SetAsDateTime(dt::fromDate(r.date));
        table.FieldByName(QStringLiteral("Tipologia")).SetAsString(r.tipologia);
        table.FieldByName(QStringLiteral("Commento")).SetAsString(r.commento);
        table.FieldByName(QStringLiteral("Movimento")).SetAsFloat(r.movimento);
        table.FieldByName(QStringLiteral("Mese")).SetAsInteger(r.mese);
        table.Post();
    }
    QDir().mkpath(QFileInfo(path).path());
    TableFileFormat().Save(table, path);
}

void writeText(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    writeFileAtomically(path, bytes);
}

std::vector<Row> readMovements(const QString& path, QStringList* fieldNames)
{
    RecordTable table(QStringLiteral("Movimenti"));
    TableFileFormat().Load(table, path);
    if (fieldNames) {
        fieldNames->clear();
        for (int i = 0; i < table.FieldCount(); ++i)
            fieldNames->append(table.Fields(i).FieldName());
    }
    std::vector<Row> rows;
    const auto text = [&table](const char* name) {
        const Field* f = table.FindField(QLatin1String(name));
        return f ? f->AsString() : QString();
    };
    for (table.First(); !table.Eof(); table.Next()) {
        Row r;
        const Field* data = table.FindField(QStringLiteral("Data"));
        r.date = data && !data->IsNull() ? dt::toDate(data->AsDateTime()) : QDate();
        r.tipologia = text("Tipologia");
        r.commento = text("Commento");
        const Field* mov = table.FindField(QStringLiteral("Movimento"));
        r.movimento = mov ? mov->AsFloat() : 0;
        r.mese = text("Mese").toInt();
        rows.push_back(r);
    }
    return rows;
}

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

void AppFixture::SetUp()
{
    ASSERT_TRUE(m_tmp.isValid());
    QDir().mkpath(appFolder());
    for (const char* sub : { "Langs", "pics", "Config" })
        copyTree(QStringLiteral(CONTIVO_APPDIR "/") + QLatin1String(sub), appFolder() + QLatin1String(sub));
    QDir().mkpath(appFolder() + QStringLiteral("Config/Stellaro"));
    writeFileAtomically(appFolder() + QStringLiteral("Config/Stellaro/Contivo.ini"),
        QStringLiteral("[Avvio]\r\nUserDir=%1\r\n").arg(userFolder()).toLocal8Bit());
    // The movement interface of the watched-folder import: heading line, ';', Italian dates.
    QDir().mkpath(appFolder() + QStringLiteral("Interfacce"));
    writeFileAtomically(appFolder() + QStringLiteral("Interfacce/Movimenti.hdr"),
        "HeaderRows=1\r\nSeparator=;\r\nFieldMapping=Data;Tipologia;Commento;Movimento\r\nDateFormat=dd/MM/"
        "yyyy\r\n");
    setApplicationFolderForTests(appFolder());
    SystemFormats::override(
        { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });

    m_clock = std::make_unique<FixedClock>(m_start);
    m_dialogs = std::make_unique<ScriptedDialogProvider>();
    m_modal = std::make_unique<ScriptedModalRunner>();
    m_balloons = std::make_unique<RecordingNotifier>();
}

void AppFixture::createWindow()
{
    m_dc = std::make_unique<TDC>();
    m_dc->DCCreate();
    m_main = std::make_unique<TFormContivoMain>(*m_dc);
    m_dialog = std::make_unique<TFormNuovaCategoria>();
    m_main->setCategoryDialog(m_dialog.get());
}

void AppFixture::TearDown()
{
    m_dialog.reset();
    m_main.reset();
    m_dc.reset();
    m_balloons.reset();
    m_modal.reset();
    m_dialogs.reset();
    m_clock.reset();
    SystemFormats::reset();
    setApplicationFolderForTests({});
}

void AppFixture::select(const QString& caption)
{
    CategoryListView* list = m_main->ListaCategorie();
    for (int row = 0; row < list->count(); ++row) {
        if (list->caption(row) == caption) {
            list->selectRow(row);
            return;
        }
    }
    ADD_FAILURE() << "no category " << caption.toStdString() << " in the list";
}

QStringList AppFixture::listed() const
{
    QStringList result;
    CategoryListView* list = m_main->ListaCategorie();
    for (int row = 0; row < list->count(); ++row)
        result.append(list->caption(row));
    result.sort();
    return result;
}

void AppFixture::expectName(const QString& name, bool confirm)
{
    m_modal->expect([name, confirm](QDialog& dialog) {
        ASSERT_EQ(dialog.objectName(), QStringLiteral("FormNuovaCategoria"));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("NomeCategoria"));
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->text().isEmpty()) << "the dialog opens with an empty name";
        edit->setText(name);
        dialog
            .findChild<QPushButton*>(confirm ? QStringLiteral("BtnConferma") : QStringLiteral("BtnAnnulla"))
            ->click();
    });
}

}
