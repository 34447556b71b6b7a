#include "app/NotesFile.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"

#include <QFileInfo>

namespace contivo::notes {

QStringList load(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    const QString text = cp1252::decode(readWholeFile(path));
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

void save(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += cp1252::encode(line);
        bytes += "\r\n";
    }
    writeFileAtomically(path, bytes);
}

QString path(const QString& yearFolder, bool categoryNotes, const QString& category)
{
    if (!categoryNotes)
        return yearFolder + QStringLiteral("Appunti.lst");
    return yearFolder + category + QStringLiteral(".lst");
}

}
