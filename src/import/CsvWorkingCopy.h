#pragma once

#include "import/CsvInterface.h"
#include "import/CsvText.h"

#include <QString>
#include <QStringView>
#include <QTemporaryFile>

#include <functional>

namespace contivo {

/// The import's private working copy of a CSV file, in the temporary folder: every line of the
/// file (decoded as UTF-8 or cp1252), normalised from the heading lines on when the layout names
/// a delimiter, lines joined by '\n', written as UTF-8. The file gets a unique name (executable
/// name + random part + ".temp.csv") and mode 0600, so two imports never share it, and it is
/// removed when the object goes away, whatever happened in between. Throws std::runtime_error when
/// the CSV file cannot be read or the copy cannot be written.
///
/// The copy is written completely by the constructor and read back line by line with forEachLine.
/// Neither step holds the whole text: the source's bytes are read once and decoded piece by piece
/// (they are freed when the copy is written), and the copy is read back in pieces.
class CsvWorkingCopy {
public:
    /// Bytes of source decoded, characters written and bytes read back at a time.
    static constexpr qsizetype kPieceBytes = 1 << 20;

    /// pieceBytes only changes how much is handled at a time, never the result; tests lower it to
    /// put piece boundaries inside lines and characters.
    CsvWorkingCopy(const QString& csvPath, const CsvInterface& layout, qsizetype pieceBytes = kPieceBytes);

    /// Calls fn(QStringView line) for each line of the copy, first to last (blank and heading lines
    /// included, so the n-th call is line n - 1 of the file); stops when fn returns false. The view
    /// is valid during the call only. Throws std::runtime_error when the copy cannot be read.
    template <typename Fn> void forEachLine(Fn&& fn)
    {
        bool more = true;
        forEachPiece([&](QStringView piece) {
            csv::forEachLine(piece, [&](QStringView line) { return more = fn(line); });
            return more;
        });
    }

    QString fileName() const { return m_file.fileName(); }

private:
    /// Calls fn with decoded runs of whole lines (each but the last ending with its line break);
    /// stops when fn returns false.
    void forEachPiece(const std::function<bool(QStringView)>& fn);

    QTemporaryFile m_file;
    qsizetype m_pieceBytes;
};

}
