#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace contivo {

/// Read-only text window that shows the error detail file of a CSV import.
class TFormDettaglioErroriCsv : public QDialog {
    Q_OBJECT
public:
    explicit TFormDettaglioErroriCsv(QWidget* parent = nullptr);

    /// Shows the file's text (cp1252). False with the system's reason in error when it cannot be read.
    bool LoadFile(const QString& path, QString& error);
    QString Text() const;

private:
    QPlainTextEdit* m_memo;
};

}
