// Language files come from the user's disk: any bytes must parse without a crash, and every line
// lookup must follow the first-line rule.
#include "lang/Language.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = contivo::ParseLanguageLines(bytes);
    const contivo::LanguageTable table(lines);
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        // The first line of a key wins, so the text found is the text of some line with that key.
        const QString found = table.value(line.left(eq));
        bool matched = false;
        for (const QString& other : lines)
            if (other.left(eq).compare(line.left(eq), Qt::CaseInsensitive) == 0 && other.mid(eq + 1) == found
                && other.size() > eq && other[eq] == QLatin1Char('='))
                matched = true;
        if (!matched)
            std::abort();
        contivo::SplitLanguageLines(found, true);
        contivo::SplitLanguageLines(found, false);
    }
    return 0;
}
