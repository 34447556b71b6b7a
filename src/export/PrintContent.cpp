#include "export/PrintContent.h"

#include "base/Cp1252.h"
#include "export/TableExport.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <stdexcept>

namespace contivo {

namespace {

QByteArray crlfBytes(const QStringList& lines)
{
    return cp1252::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QString cell(const QStringList& row, int column)
{
    return column < row.size() ? row.at(column) : QString();
}

QString padded(const QString& text, int width, Qt::Alignment alignment)
{
    const int room = width - int(text.size());
    if (room <= 0)
        return text;
    if (alignment & Qt::AlignRight)
        return QString(room, QLatin1Char(' ')) + text;
    if (alignment & Qt::AlignHCenter)
        return QString(room / 2, QLatin1Char(' ')) + text + QString(room - room / 2, QLatin1Char(' '));
    return text + QString(room, QLatin1Char(' '));
}

QString noCommas(QString text)
{
    return text.replace(QLatin1Char(','), QLatin1Char(' '));
}

// HTML text for a cp1252 page: escaped, and characters the code page lacks as numeric references.
QString htmlText(const QString& text)
{
    const QString escaped = HtmlEscaped(text);
    QString out;
    out.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c.isHighSurrogate() && i + 1 < escaped.size()) {
            out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(c, escaped.at(i + 1)));
            ++i;
        } else if (!cp1252::canEncode(QStringView(&c, 1))) {
            out += QStringLiteral("&#%1;").arg(c.unicode());
        } else {
            out += c;
        }
    }
    return out;
}

QString htmlAlign(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    return QStringLiteral("left");
}

// RTF text: control characters escaped, bytes above 127 as \'hh, the rest of Unicode as \uN?.
QByteArray rtfText(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\line ";
        } else if (u == '\r') {
            continue;
        } else if (u < 0x80) {
            out += char(u);
        } else if (cp1252::canEncode(QStringView(&c, 1))) {
            out += "\\'" + cp1252::encode(QStringView(&c, 1)).toHex();
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

QByteArray rtfAlign(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return "\\qr";
    if (a & Qt::AlignHCenter)
        return "\\qc";
    return "\\ql";
}

}

namespace printfile {

QByteArray Text(const PrintContent& content)
{
    const int n = int(content.columns.size());
    QList<int> widths(n, 0);
    for (int c = 0; c < n; ++c) {
        widths[c] = int(content.columns[c].title.size());
        for (const QStringList& row : content.rows)
            widths[c] = std::max(widths[c], int(cell(row, c).size()));
    }
    const auto line = [&](const QStringList& texts) {
        QStringList parts;
        for (int c = 0; c < n; ++c)
            parts << padded(cell(texts, c), widths[c], content.columns[c].alignment);
        QString l = parts.join(QStringLiteral("  "));
        while (l.endsWith(QLatin1Char(' ')))
            l.chop(1);
        return l;
    };
    QStringList titles;
    for (const PrintColumn& col : content.columns)
        titles << col.title;
    QStringList lines { content.title, line(titles) };
    for (const QStringList& row : content.rows)
        lines << line(row);
    return crlfBytes(lines);
}

QByteArray Csv(const PrintContent& content)
{
    QStringList titles;
    for (const PrintColumn& col : content.columns)
        titles << noCommas(col.title);
    QStringList lines { noCommas(content.title), QString(), titles.join(QLatin1Char(',')) };
    for (const QStringList& row : content.rows) {
        QStringList values;
        for (int c = 0; c < content.columns.size(); ++c)
            values << noCommas(cell(row, c));
        lines << values.join(QLatin1Char(','));
    }
    return crlfBytes(lines);
}

QByteArray Html(const PrintContent& content)
{
    QStringList lines { QStringLiteral("<html>"), QStringLiteral("<head>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"),
        QStringLiteral("<title>") + htmlText(content.title) + QStringLiteral("</title>"),
        QStringLiteral("</head>"), QStringLiteral("<body>"),
        QStringLiteral("<h3>") + htmlText(content.title) + QStringLiteral("</h3>"),
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">") };
    QString heading = QStringLiteral("<tr>");
    for (const PrintColumn& col : content.columns)
        heading
            += QStringLiteral("<th align=\"%1\">%2</th>").arg(htmlAlign(col.alignment), htmlText(col.title));
    lines << heading + QStringLiteral("</tr>");
    for (const QStringList& row : content.rows) {
        QString tr = QStringLiteral("<tr>");
        for (int c = 0; c < content.columns.size(); ++c) {
            const QString text = cell(row, c);
            tr += QStringLiteral("<td align=\"%1\">%2</td>")
                      .arg(htmlAlign(content.columns[c].alignment),
                          text.isEmpty() ? QStringLiteral("&nbsp;") : htmlText(text));
        }
        lines << tr + QStringLiteral("</tr>");
    }
    lines << QStringLiteral("</table>") << QStringLiteral("</body>") << QStringLiteral("</html>");
    return crlfBytes(lines);
}

QByteArray Rtf(const PrintContent& content)
{
    // Grid pixels to twips at 96 pixels per inch.
    QByteArray rowDef = "\\trowd\\trgaph60";
    int right = 0;
    for (const PrintColumn& col : content.columns) {
        right += std::max(col.width, 2) * 15;
        rowDef += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdr"
                  "s\\brdrw10"
                  "\\cellx"
            + QByteArray::number(right);
    }
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n";
    out += "\\f0\\fs20{\\b\\fs28 " + rtfText(content.title) + "}\\par\\par\r\n";
    const auto row = [&](const QStringList& texts, bool bold) {
        out += rowDef + "\r\n";
        for (int c = 0; c < content.columns.size(); ++c) {
            out += "\\pard\\intbl" + rtfAlign(content.columns[c].alignment) + (bold ? "{\\b " : "{")
                + rtfText(cell(texts, c)) + "}\\cell\r\n";
        }
        out += "\\row\r\n";
    };
    QStringList titles;
    for (const PrintColumn& col : content.columns)
        titles << col.title;
    if (!content.columns.isEmpty()) {
        row(titles, true);
        for (const QStringList& r : content.rows)
            row(r, false);
    }
    out += "\\pard\\par\r\n}\r\n";
    return out;
}

}

void PrintContentTo(const PrintContent& content, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Impossibile avviare la stampa");
    const QRectF page = printer.pageRect(QPrinter::DevicePixel)
                            .translated(-printer.pageRect(QPrinter::DevicePixel).topLeft());
    const double dpi = printer.resolution();

    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(9);
    QFont bold = body;
    bold.setBold(true);
    QFont titleFont = body;
    titleFont.setPointSizeF(12);
    titleFont.setBold(true);
    painter.setFont(body);
    const double lineHeight = QFontMetricsF(body, &printer).height() * 1.3;
    const double titleHeight = QFontMetricsF(titleFont, &printer).height() * 1.6;

    // Columns keep their on-screen proportions (96 pixels per inch), squeezed to the page width.
    QList<double> widths;
    double total = 0;
    for (const PrintColumn& col : content.columns) {
        widths << col.width * dpi / 96.0;
        total += widths.last();
    }
    if (total > page.width() && total > 0)
        for (double& w : widths)
            w *= page.width() / total;

    const double pad = dpi / 30.0;
    const auto drawRow = [&](const QStringList& texts, double y, bool isHeading) {
        double x = page.left();
        for (int c = 0; c < content.columns.size(); ++c) {
            const QRectF box(x + pad, y, std::max(0.0, widths[c] - 2 * pad), lineHeight);
            const QString text = isHeading ? content.columns[c].title : cell(texts, c);
            painter.drawText(box, int(content.columns[c].alignment | Qt::AlignVCenter),
                painter.fontMetrics().elidedText(text, Qt::ElideRight, int(box.width())));
            x += widths[c];
        }
    };

    int pageNumber = 1;
    double y = 0;
    const double footerTop = page.bottom() - lineHeight;
    const auto startPage = [&]() {
        y = page.top();
        painter.setFont(titleFont);
        painter.drawText(QRectF(page.left(), y, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
            content.title);
        y += titleHeight;
        painter.setFont(bold);
        drawRow({}, y, true);
        y += lineHeight;
        painter.drawLine(QPointF(page.left(), y), QPointF(page.left() + std::min(total, page.width()), y));
        painter.setFont(body);
    };
    const auto endPage = [&]() {
        painter.setFont(body);
        painter.drawText(QRectF(page.left(), footerTop, page.width(), lineHeight),
            Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Pagina %1").arg(pageNumber));
    };

    startPage();
    for (const QStringList& row : content.rows) {
        if (y + lineHeight > footerTop) {
            endPage();
            printer.newPage();
            ++pageNumber;
            startPage();
        }
        drawRow(row, y, false);
        y += lineHeight;
    }
    endPage();
    painter.end();
}

}
