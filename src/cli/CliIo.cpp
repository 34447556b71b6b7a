#include "cli/CliIo.h"

#include <cstdio>

namespace contivo::cli {

void printOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

void printErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stderr);
    std::fputc('\n', stderr);
}

Args::Args(const QStringList& args, const QStringList& valueOptions, const QStringList& flags)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            const QString name = a.mid(2);
            if (valueOptions.contains(name) && i + 1 < args.size())
                m_values.append({name, args[++i]});
            else if (flags.contains(name))
                m_flags << name;
            else
                m_ok = false;
        } else {
            m_positional << a;
        }
    }
}

std::optional<QString> Args::value(const QString& name) const
{
    for (const auto& [n, v] : m_values)
        if (n == name)
            return v;
    return std::nullopt;
}

}
