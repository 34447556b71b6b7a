#include "base/StringUtils.h"

#include "base/SystemFormats.h"

namespace contivo::str {

QString before(const QString& text, const QString& sep, bool wholeWhenAbsent)
{
    const qsizetype p = text.indexOf(sep);
    if (p < 0)
        return wholeWhenAbsent ? text : QString();
    return text.left(p);
}

QString after(const QString& text, const QString& sep)
{
    const qsizetype p = text.indexOf(sep);
    return p < 0 ? QString() : text.mid(p + sep.size());
}

double toDoubleDef(const QString& text, double def)
{
    double value = 0;
    return SystemFormats::parseDouble(text, value) ? value : def;
}

QStringList split(const QString& text, QChar sep, bool trim)
{
    QStringList items;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == sep) {
            const QString piece = text.mid(start, i - start);
            items << (trim ? piece.trimmed() : piece);
            start = i + 1;
        }
    }
    if (start < text.size()) {
        const QString tail = text.mid(start);
        items << (trim ? tail.trimmed() : tail);
    }
    return items;
}

QString joinCrLf(const QStringList& pieces) { return pieces.join(QStringLiteral("\r\n")); }

QString withTrailingSeparator(const QString& path)
{
    QString p = path.trimmed();
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p;
}

}
