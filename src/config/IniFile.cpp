#include "config/IniFile.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"

#include <QFile>
#include <QFileInfo>

namespace contivo {
namespace {

struct Line {
    QString text; // without its line end
    QString eol;  // "\r\n", "\n" or empty on an unterminated last line
};

QList<Line> loadLines(const QString& path)
{
    QList<Line> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QString text = cp1252::decode(file.readAll());
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
        if (nl < 0) {
            lines.append({text.mid(start), QString()});
            break;
        }
        const bool cr = nl > start && text[nl - 1] == QLatin1Char('\r');
        lines.append({text.mid(start, nl - start - (cr ? 1 : 0)), cr ? QStringLiteral("\r\n") : QStringLiteral("\n")});
        start = nl + 1;
    }
    return lines;
}

void saveLines(const QString& path, const QList<Line>& lines)
{
    QString text;
    for (const Line& l : lines)
        text += l.text + l.eol;
    // The settings file is private to the user.
    writeFileAtomically(path, cp1252::encode(text), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool isSectionLine(const QString& line, QString* name = nullptr)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    if (name) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        *name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    }
    return true;
}

bool isCommentLine(const QString& line) { return line.trimmed().startsWith(QLatin1Char(';')); }

/// Splits a key line; false for lines that hold no key.
bool splitKeyLine(const QString& line, QString& key, QString& value)
{
    if (isCommentLine(line))
        return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    key = line.left(eq).trimmed();
    if (key.isEmpty())
        return false;
    value = line.mid(eq + 1);
    return true;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString cleanValue(const QString& raw)
{
    QString v = raw.trimmed();
    if (v.size() >= 2) {
        const QChar q = v.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && v.back() == q)
            v = v.mid(1, v.size() - 2);
    }
    if (v.size() > IniFile::kMaxValueLength)
        v.truncate(IniFile::kMaxValueLength);
    return v;
}

/// Index range [first, end) of the lines of the first section with that name; first = -1 when absent.
/// end stops after the last key or other non-blank line of the section.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1; // one past the last non-blank line of the section
};

SectionRange findSection(const QList<Line>& lines, const QString& section)
{
    SectionRange r;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (!isSectionLine(lines[i].text, &name))
            continue;
        if (r.header >= 0)
            break;
        if (sameName(name, section)) {
            r.header = i;
            r.end = i + 1;
            for (qsizetype j = i + 1; j < lines.size() && !isSectionLine(lines[j].text); ++j)
                if (!lines[j].text.trimmed().isEmpty())
                    r.end = j + 1;
        }
    }
    return r;
}

qsizetype findKey(const QList<Line>& lines, const SectionRange& r, const QString& key)
{
    if (r.header < 0)
        return -1;
    for (qsizetype i = r.header + 1; i < r.end; ++i) {
        QString k, v;
        if (splitKeyLine(lines[i].text, k, v) && sameName(k, key))
            return i;
    }
    return -1;
}

QString lineEndOf(const QList<Line>& lines)
{
    for (const Line& l : lines)
        if (!l.eol.isEmpty())
            return l.eol;
    return QStringLiteral("\r\n");
}

void applyWrite(QList<Line>& lines, const IniFile::Entry& e)
{
    const QString eol = lineEndOf(lines);
    const QString text = e.key + QLatin1Char('=') + e.value;
    const SectionRange r = findSection(lines, e.section);
    const qsizetype at = findKey(lines, r, e.key);
    if (at >= 0) {
        lines[at].text = text;
        return;
    }
    if (!lines.isEmpty() && lines.back().eol.isEmpty())
        lines.back().eol = eol;
    if (r.header >= 0) {
        lines.insert(r.end, Line {text, eol});
        return;
    }
    lines.append({QLatin1Char('[') + e.section + QLatin1Char(']'), eol});
    lines.append({text, eol});
}

}

bool IniFile::exists() const { return QFileInfo::exists(m_path); }

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const QList<Line> lines = loadLines(m_path);
    const qsizetype at = findKey(lines, findSection(lines, section), key);
    if (at < 0)
        return def;
    QString k, v;
    splitKeyLine(lines[at].text, k, v);
    return cleanValue(v);
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const QList<Line> lines = loadLines(m_path);
    return findKey(lines, findSection(lines, section), key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Line& l : loadLines(m_path)) {
        QString name;
        if (isSectionLine(l.text, &name))
            out << name;
    }
    return out;
}

QStringList IniFile::keys(const QString& section) const
{
    const QList<Line> lines = loadLines(m_path);
    const SectionRange r = findSection(lines, section);
    QStringList out;
    if (r.header < 0)
        return out;
    for (qsizetype i = r.header + 1; i < r.end; ++i) {
        QString k, v;
        if (splitKeyLine(lines[i].text, k, v))
            out << k;
    }
    return out;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    writeStrings({Entry {section, key, value}});
}

void IniFile::writeStrings(const QList<Entry>& entries)
{
    QList<Line> lines = loadLines(m_path);
    for (const Entry& e : entries)
        applyWrite(lines, e);
    saveLines(m_path, lines);
}

void IniFile::deleteKey(const QString& section, const QString& key)
{
    QList<Line> lines = loadLines(m_path);
    const qsizetype at = findKey(lines, findSection(lines, section), key);
    if (at < 0)
        return;
    lines.removeAt(at);
    saveLines(m_path, lines);
}

}
