#include "import/CsvWorkingCopy.h"

#include "import/CsvText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace contivo {
namespace {

// The normalised text goes to the file in pieces of about this many characters, so the whole
// file is never held twice.
constexpr qsizetype kChunkChars = 1 << 20;

QString executableName()
{
    if (QCoreApplication::instance()) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("contivo");
}

std::runtime_error fileError(const QString& path, const QFileDevice& file)
{
    return std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString())
                                  .toStdString());
}

void writeChunk(QTemporaryFile& file, QString& buffer)
{
    const QByteArray bytes = buffer.toUtf8();
    if (file.write(bytes) != bytes.size())
        throw fileError(file.fileName(), file);
    buffer.resize(0);
}

}

CsvWorkingCopy::CsvWorkingCopy(const QString& csvPath, const CsvInterface& layout)
    : m_file(QDir::tempPath() + QLatin1Char('/') + executableName() + QStringLiteral(".XXXXXX.temp.csv"))
{
    if (QDir::tempPath().isEmpty())
        throw std::runtime_error("Cannot create the working copy: no temporary folder");
    QString text;
    {
        QFile source(csvPath);
        if (!source.open(QIODevice::ReadOnly))
            throw fileError(csvPath, source);
        text = csv::decodeCsvBytes(source.readAll());
    }
    // QTemporaryFile creates the file exclusively, readable and writable by the owner only.
    if (!m_file.open())
        throw fileError(m_file.fileTemplate(), m_file);

    QString buffer;
    buffer.reserve(kChunkChars + 4096);
    qsizetype lineIndex = 0;
    csv::forEachLine(text, [&](QStringView line) {
        if (layout.delimiter && lineIndex >= layout.headerRows)
            csv::normaliseLine(line, *layout.delimiter, layout.separator, buffer);
        else
            buffer.append(line);
        buffer.append(QLatin1Char('\n'));
        ++lineIndex;
        if (buffer.size() >= kChunkChars)
            writeChunk(m_file, buffer);
        return true;
    });
    writeChunk(m_file, buffer);
    if (!m_file.flush())
        throw fileError(m_file.fileName(), m_file);
}

QString CsvWorkingCopy::readBack()
{
    m_file.seek(0);
    return QString::fromUtf8(m_file.readAll());
}

}
