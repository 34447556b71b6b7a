#pragma once

// Internal to the import library: the normalisation of one line, shared by the UTF-16 route and
// the byte route of the working copy so its rules live in one place.

#include <QtGlobal>

namespace contivo::csv::detail {

/// Rebuilds a line from its enclosed fields: each field's value enclosed in the delimiter (its
/// doubled delimiters made single), fields joined by the separator; whatever stands between
/// fields is dropped, and an unclosed field runs to the end of the line less the line's last
/// character. `next(from)` gives the first delimiter at or after from (n when none); `out` takes
/// put(Char), append(const Char*, count) and chopLast().
template <class Char, class Out, class Next>
void normaliseFields(const Char* s, qsizetype n, Char delimiter, Char separator, Out& out, Next next)
{
    bool first = true;
    qsizetype i = next(0);
    while (i < n) {
        if (!first)
            out.put(separator);
        first = false;
        out.put(delimiter);
        const qsizetype opening = i;
        qsizetype j = i + 1;
        bool closed = false;
        while (j < n) {
            const qsizetype k = next(j);
            out.append(s + j, k - j);
            if (k == n) {
                j = n;
                break;
            }
            if (k + 1 < n && s[k + 1] == delimiter) {
                out.put(delimiter); // a doubled delimiter stands for one
                j = k + 2;
                continue;
            }
            closed = true;
            j = k + 1;
            break;
        }
        if (!closed && opening < n - 1)
            out.chopLast(); // an unclosed value ends before the line's last character
        out.put(delimiter);
        i = j < n ? next(j) : n;
    }
}

}
