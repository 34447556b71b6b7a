#pragma once

// Shared helpers of the CSV tests: files in a private folder, Italian system formats, tables.

#include "base/Cp1252.h"
#include "base/SystemFormats.h"
#include "storage/RecordTable.h"
#include "storage/TDC.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace contivo::testing {

class CsvFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SystemFormats::override(
            { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
        m_oldTmp = qgetenv("TMPDIR");
        // The engine's working copy and the error detail go to the temporary folder: keep them here.
        QDir(m_dir.path()).mkdir(QStringLiteral("tmp"));
        qputenv("TMPDIR", QFile::encodeName(tmpFolder()));
    }
    void TearDown() override
    {
        qputenv("TMPDIR", m_oldTmp);
        SystemFormats::reset();
    }

    QString tmpFolder() const { return m_dir.filePath(QStringLiteral("tmp")); }
    QStringList tmpEntries() const { return QDir(tmpFolder()).entryList(QDir::Files | QDir::Hidden); }

    QString writeBytes(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    /// Lines joined with CR LF, cp1252.
    QString writeLines(const QString& name, const QStringList& lines)
    {
        return writeBytes(name, cp1252::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    }
    QString readText(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return cp1252::decode(f.readAll());
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    static void declareMovements(RecordTable& table) { TDC::DeclareMovementFields(table); }
    static void declareTypes(RecordTable& table)
    {
        table.AddField(QStringLiteral("Tipologia"), FieldType::String, 32);
        table.AddField(QStringLiteral("Colore"), FieldType::Integer);
        table.AddIndex(QStringLiteral("IndiceTipologia"), QStringLiteral("Tipologia"),
            IndexOptions { true, false, false, true });
    }
    static void addType(RecordTable& table, const QString& name, int colour)
    {
        table.Append();
        table.FieldByName(QStringLiteral("Tipologia")).SetAsString(name);
        table.FieldByName(QStringLiteral("Colore")).SetAsInteger(colour);
        table.Post();
    }
    /// Every row's values as text, fields joined by '|', in table order.
    static QStringList rowsOf(RecordTable& table, const QStringList& fields)
    {
        QStringList rows;
        for (table.First(); !table.Eof(); table.Next()) {
            QStringList values;
            for (const QString& f : fields)
                values << table.FieldByName(f).AsString();
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }

    QTemporaryDir m_dir;
    QByteArray m_oldTmp;
};

}
