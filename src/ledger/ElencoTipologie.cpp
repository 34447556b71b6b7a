#include "ledger/ElencoTipologie.h"

namespace contivo::ledger {

int ElencoTipologie::indexOf(const QString& nome) const
{
    if (nome.isEmpty())
        return -1;
    for (int i = 0; i < count(); ++i)
        if (m_voci.at(i).nome == nome)
            return i;
    return -1;
}

std::optional<QColor> ElencoTipologie::coloreDi(const QString& nome) const
{
    const int i = indexOf(nome);
    if (i < 0 || !m_voci.at(i).colore)
        return std::nullopt;
    return ColoreDaIntero(*m_voci.at(i).colore);
}

}
