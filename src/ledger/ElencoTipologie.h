#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

namespace contivo::ledger {

/// A platform colour number: red in the low byte, then green, then blue.
inline QColor ColoreDaIntero(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

/// The movement types offered by the ledger's type fields, in the types table's order, each
/// with its colour when it has one.
class ElencoTipologie {
public:
    struct Voce {
        QString nome;
        std::optional<int> colore;
    };

    void clear() { m_voci.clear(); }
    void append(const QString& nome, std::optional<int> colore) { m_voci.append({ nome, colore }); }
    int count() const { return static_cast<int>(m_voci.size()); }
    const Voce& at(int i) const { return m_voci.at(i); }
    /// Position of a name (exact, case-sensitive); -1 when absent or empty.
    int indexOf(const QString& nome) const;
    /// The colour of a named type, when the type exists and has one.
    std::optional<QColor> coloreDi(const QString& nome) const;

private:
    QList<Voce> m_voci;
};

}
