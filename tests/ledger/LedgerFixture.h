#pragma once

// Shared set-up of the ledger tests: a temporary user data folder, a data module, Italian number
// formats and a writer of small category year files.

#include "base/DateTime.h"
#include "base/SystemFormats.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

namespace contivo::ledger::testing {

/// One stored movement of a fixture file.
struct Riga {
    QDate data;
    double movimento = 0;
    QString commento;
    QString tipologia;
    std::optional<int> mese; ///< the stored month when it should disagree with the date
};

inline double giorno(int y, int m, int d)
{
    return dt::fromDate(QDate(y, m, d));
}

class LedgerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SystemFormats::override(
            { QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd/MM/yyyy"), QStringLiteral("HH:mm:ss") });
        setUserFolder(m_dir.path());
        dc = std::make_unique<TDC>();
    }
    void TearDown() override
    {
        dc.reset();
        SystemFormats::reset();
    }

    QString cartellaAnno(int anno) const
    {
        return m_dir.path() + QStringLiteral("/Tabelle/") + QString::number(anno) + QLatin1Char('/');
    }
    QString file(int anno, const QString& nome, const QString& suffisso) const
    {
        return cartellaAnno(anno) + nome + QLatin1Char('.') + suffisso;
    }

    /// Writes a category side file in the table file format.
    void scriviLato(int anno, const QString& nome, const QString& suffisso, const std::vector<Riga>& righe)
    {
        QDir().mkpath(cartellaAnno(anno));
        RecordTable t(QStringLiteral("Fixture"));
        TDC::DeclareMovementFields(t);
        for (const Riga& r : righe) {
            t.Append();
            t.FieldByName(QStringLiteral("Data")).SetAsDateTime(dt::fromDate(r.data));
            t.FieldByName(QStringLiteral("Tipologia")).SetAsString(r.tipologia);
            t.FieldByName(QStringLiteral("Commento")).SetAsString(r.commento);
            t.FieldByName(QStringLiteral("Movimento")).SetAsFloat(r.movimento);
            t.FieldByName(QStringLiteral("Mese")).SetAsInteger(r.mese.value_or(r.data.month()));
            t.FieldByName(QStringLiteral("Saldo")).SetAsFloat(0);
            t.Post();
        }
        dc->SaveFormat.Save(t, file(anno, nome, suffisso));
    }

    /// Every row of a side file, as (date, amount, month) in file order.
    struct Salvata {
        double data;
        double movimento;
        qint64 mese;
        QString commento;
        QString tipologia;
    };
    std::vector<Salvata> leggiLato(int anno, const QString& nome, const QString& suffisso)
    {
        RecordTable t(QStringLiteral("Lettura"));
        TDC::DeclareMovementFields(t);
        dc->SaveFormat.Load(t, file(anno, nome, suffisso));
        std::vector<Salvata> out;
        for (t.First(); !t.Eof(); t.Next())
            out.push_back({ t.FieldByName(QStringLiteral("Data")).AsDateTime(),
                t.FieldByName(QStringLiteral("Movimento")).AsFloat(),
                t.FieldByName(QStringLiteral("Mese")).AsInteger(),
                t.FieldByName(QStringLiteral("Commento")).AsString(),
                t.FieldByName(QStringLiteral("Tipologia")).AsString() });
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TDC> dc;
};

}
