#pragma once

// A complete, isolated program environment for the main window tests: application and user data
// folders in a temporary folder, the data module created as at start-up, a fixed date, Italian
// formats, scripted dialogs and modal windows, recorded balloons.

#include "app/TFormContivoMain.h"
#include "app/TFormNuovaCategoria.h"

#include "base/DateTime.h"
#include "base/SystemFormats.h"
#include "platform/Folders.h"
#include "storage/TDC.h"
#include "support/Seams.h"
#include "support/TestSeams.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace contivo::testing {

/// One movement row as a test writes or reads it.
struct Row {
    QDate date;
    QString tipologia;
    QString commento;
    double movimento = 0;
    int mese = 0;
    bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << r.date.toString(Qt::ISODate).toStdString() << " " << r.tipologia.toStdString() << " "
              << r.commento.toStdString() << " " << r.movimento << " m" << r.mese;
}

/// Writes a movement table file with the six movement fields.
void writeMovements(const QString& path, const std::vector<Row>& rows);
/// Writes a file, creating its folder.
void writeText(const QString& path, const QByteArray& bytes);
/// Reads a movement table file: its field names and its rows in file order.
std::vector<Row> readMovements(const QString& path, QStringList* fieldNames = nullptr);
/// Copies a folder tree.
void copyTree(const QString& from, const QString& to);

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Builds the main window with the dialog (after the data module).
    void createWindow();

    QString userFolder() const { return m_tmp.path() + QStringLiteral("/user/"); }
    QString appFolder() const { return m_tmp.path() + QStringLiteral("/app/"); }
    QString yearFolder(const QString& year) const
    {
        return userFolder() + QStringLiteral("Tabelle/") + year + QLatin1Char('/');
    }
    QString yearFolder(int year) const { return yearFolder(QString::number(year)); }
    QString exchange() const { return userFolder() + QStringLiteral("Exchange/"); }
    /// Selects the category with that caption in the list (fails the test when absent).
    void select(const QString& caption);
    QStringList listed() const;
    /// Queues the category dialog: types the name and confirms (or cancels).
    void expectName(const QString& name, bool confirm = true);

    QTemporaryDir m_tmp;
    std::unique_ptr<FixedClock> m_clock;
    std::unique_ptr<ScriptedDialogProvider> m_dialogs;
    std::unique_ptr<ScriptedModalRunner> m_modal;
    std::unique_ptr<RecordingNotifier> m_balloons;
    std::unique_ptr<TDC> m_dc;
    std::unique_ptr<TFormContivoMain> m_main;
    std::unique_ptr<TFormNuovaCategoria> m_dialog;
    QDateTime m_start = QDateTime(QDate(2024, 6, 15), QTime(10, 0));
};

}
