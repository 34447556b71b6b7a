#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// Output and argument helpers shared by the command files.
namespace contivo::cli {

/// Writes text and a newline as UTF-8 to stdout / stderr.
void printOut(const QString& text);
void printErr(const QString& text);

/// Simple option parser: "--name value" options and flags, the rest positional.
class Args {
public:
    /// Parses args; options listed in valueOptions take a value, those in flags take none.
    /// Any other "--" word makes ok() false.
    Args(const QStringList& args, const QStringList& valueOptions, const QStringList& flags = {});
    bool ok() const { return m_ok; }
    std::optional<QString> value(const QString& name) const;
    bool flag(const QString& name) const { return m_flags.contains(name); }
    const QStringList& positional() const { return m_positional; }

private:
    bool m_ok = true;
    QStringList m_flags;
    QList<QPair<QString, QString>> m_values;
    QStringList m_positional;
};

}
