#include "base/Cp1252.h"
#include "import/ImportCSV.h"
#include "import/TFormDettaglioErroriCsv.h"
#include "lang/Language.h"
#include "support/MessageBoxes.h"
#include "support/Seams.h"

#include <QDir>
#include <QFile>

namespace contivo {
namespace {

const char* const kDetailError = "Si è verificato un errore nella generazione del file di dettaglio";

// Creates "CsvErrors<n>.txt" in the temporary folder with the smallest n not taken, exclusively,
// so two detail files never share a name. Throws with the system's reason.
QString writeDetailFile(const QStringList& errors)
{
    const QString temp = QDir::tempPath();
    if (temp.isEmpty())
        throw std::runtime_error("no temporary folder");
    const QString folder = temp + QLatin1Char('/');
    QByteArray bytes;
    for (const QString& error : errors)
        bytes += cp1252::encode(error) + "\r\n";
    for (int n = 0;; ++n) {
        const QString path = folder + QStringLiteral("CsvErrors%1.txt").arg(n);
        QFile file(path);
        if (file.exists())
            continue;
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue; // taken in the meantime
            throw std::runtime_error(file.errorString().toStdString());
        }
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            const std::string reason = file.errorString().toStdString();
            file.close();
            QFile::remove(path);
            throw std::runtime_error(reason);
        }
        return path;
    }
}

}

void ImportCSV::ShowErrorDetail(const QStringList& errors)
{
    QString path;
    try {
        path = writeDetailFile(errors);
    } catch (const std::exception&) {
        ShowErrorKey(QStringLiteral("MsgErr.CsvDetailError"), QString::fromUtf8(kDetailError));
        return;
    }
    {
        TFormDettaglioErroriCsv window;
        QString reason;
        if (window.LoadFile(path, reason))
            RunModal(window);
        else
            ShowMessageBox(QStringLiteral("Trying to open \"%1\"\r\n%2").arg(path, reason),
                QString::fromUtf8(kDetailError), MB_OK | MB_ICONWARNING);
    }
    QFile::remove(path);
}

}
