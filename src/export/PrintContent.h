#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace contivo {

/// One column of a printed grid: its title, horizontal alignment and on-screen width in pixels.
struct PrintColumn {
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft;
    int width = 64;
};

/// What the grid print engine renders: a title, the columns and the rows' cell texts as the grid
/// shows them.
struct PrintContent {
    QString title;
    QList<PrintColumn> columns;
    QList<QStringList> rows;
};

/// Renderings of print-to-file, each as the bytes of the file (cp1252, CR LF line ends).
namespace printfile {

/// The title, a heading line and the rows; each column padded to its widest entry and aligned as
/// in the grid, columns two blanks apart, no blanks at line ends.
QByteArray Text(const PrintContent& content);
/// The title, a blank line, the column titles and the rows, fields joined by ","; commas inside
/// the title, the column titles and the values become blanks.
QByteArray Csv(const PrintContent& content);
/// A page with the title as heading and an HTML table of the columns and rows (escaped).
QByteArray Html(const PrintContent& content);
/// A rich-text document with the title in bold and a bordered table, heading row in bold.
QByteArray Rtf(const PrintContent& content);

}

/// Paints the content on the printer: the title at the top of every page, the column headings,
/// the rows, and "Pagina N" at the foot of each page. Columns keep their on-screen proportions,
/// narrowed to the page width when wider.
void PrintContentTo(const PrintContent& content, QPrinter& printer);

}
