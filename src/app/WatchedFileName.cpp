#include "app/WatchedFileName.h"

#include <QFileInfo>
#include <QStringList>

#include <stdexcept>

namespace contivo {

WatchedFileName WatchedFileName::parse(const QString& path)
{
    // The extension belongs to the last part of the name, whichever it is: a name without a side
    // (Movimenti_Casa_2024.csv) still has a readable year and fails on its missing side.
    QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    const QStringList parts = name.split(QLatin1Char('_'));
    const auto part = [&parts](int i) { return i < parts.size() ? parts.at(i) : QString(); };
    WatchedFileName result;
    result.category = part(1);
    result.yearText = part(2);
    result.side = part(3);
    return result;
}

int WatchedFileName::year() const
{
    bool ok = false;
    const int value = yearText.toInt(&ok, 10);
    if (!ok || yearText.trimmed() != yearText)
        throw std::runtime_error(
            QStringLiteral("'%1' is not a valid integer value").arg(yearText).toStdString());
    return value;
}

QString sideSuffix(const QString& side)
{
    const QString upper = side.toUpper();
    if (upper == QLatin1String("ENTRATE"))
        return QStringLiteral("IN");
    if (upper == QLatin1String("USCITE"))
        return QStringLiteral("OUT");
    return {};
}

}
