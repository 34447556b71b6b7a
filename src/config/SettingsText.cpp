#include "config/SettingsText.h"

#include <cctype>
#include <limits>

namespace contivo::settingstext {
namespace {

bool isBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

}

QStringList parseCommaText(const QString& text)
{
    QStringList items;
    const qsizetype n = text.size();
    qsizetype p = 0;
    auto at = [&](qsizetype i) { return i < n ? text[i] : QChar(); };
    while (p < n && isBlank(at(p)))
        ++p;
    while (p < n && !at(p).isNull()) {
        QString item;
        if (at(p) == QLatin1Char('"')) {
            ++p;
            while (p < n) {
                if (at(p) == QLatin1Char('"')) {
                    if (at(p + 1) == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += at(p++);
            }
        } else {
            const qsizetype start = p;
            while (p < n && at(p).unicode() > 32 && at(p) != QLatin1Char(','))
                ++p;
            item = text.mid(start, p - start);
        }
        items << item;
        while (p < n && isBlank(at(p)))
            ++p;
        if (at(p) == QLatin1Char(',')) {
            if (p + 1 >= n)
                items << QString();
            do {
                ++p;
            } while (p < n && isBlank(at(p)));
        }
    }
    return items;
}

std::optional<int> toInt(const QString& text)
{
    qsizetype p = 0;
    const qsizetype n = text.size();
    while (p < n && text[p] == QLatin1Char(' '))
        ++p;
    bool negative = false;
    if (p < n && (text[p] == QLatin1Char('-') || text[p] == QLatin1Char('+'))) {
        negative = text[p] == QLatin1Char('-');
        ++p;
    }
    int base = 10;
    if (p < n && text[p] == QLatin1Char('$')) {
        base = 16;
        ++p;
    } else if (p + 1 < n && text[p] == QLatin1Char('0') && (text[p + 1] == QLatin1Char('x') || text[p + 1] == QLatin1Char('X'))) {
        base = 16;
        p += 2;
    }
    if (p >= n)
        return std::nullopt;
    long long value = 0;
    for (; p < n; ++p) {
        const int digit = text[p].isDigit() && text[p].unicode() < 128 ? text[p].unicode() - '0'
            : base == 16 && text[p].unicode() < 128 && std::isxdigit(text[p].unicode())
            ? (text[p].toLower().unicode() - 'a' + 10)
            : -1;
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > (long long)std::numeric_limits<int>::max() + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

}
