#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace contivo {

/// An object holding one integer, attached to the items of string lists (for instance the colour
/// of a movement type in a list of types).
struct TOggettoIntero {
    explicit TOggettoIntero(int valore = 0)
        : Valore(valore)
    {
    }
    int Valore;
};

/// A list of strings whose items may carry an object the list owns. Clearing or destroying the list
/// frees the carried objects from the last item to the first.
template <typename T> class TStringObjectList {
public:
    TStringObjectList() = default;
    TStringObjectList(const TStringObjectList&) = delete;
    TStringObjectList& operator=(const TStringObjectList&) = delete;
    ~TStringObjectList() { clear(); }

    /// Appends an item; returns its index.
    qsizetype add(const QString& text, std::unique_ptr<T> object = {})
    {
        m_items.emplace_back(text, std::move(object));
        return static_cast<qsizetype>(m_items.size()) - 1;
    }
    qsizetype count() const { return static_cast<qsizetype>(m_items.size()); }
    const QString& string(qsizetype index) const { return m_items.at(static_cast<size_t>(index)).first; }
    T* object(qsizetype index) const { return m_items.at(static_cast<size_t>(index)).second.get(); }
    /// Index of the first item with exactly this text, or -1.
    qsizetype indexOf(const QString& text) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].first == text)
                return static_cast<qsizetype>(i);
        return -1;
    }
    QStringList strings() const
    {
        QStringList result;
        for (const auto& item : m_items)
            result << item.first;
        return result;
    }
    /// Frees every carried object, last item first, then empties the list.
    void clear()
    {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
            it->second.reset();
        m_items.clear();
    }

private:
    std::vector<std::pair<QString, std::unique_ptr<T>>> m_items;
};

/// Frees the carried objects (last to first), then the list, and empties the variable that held it.
template <typename T> void FreeObjectList(std::unique_ptr<TStringObjectList<T>>& list)
{
    if (list)
        list->clear();
    list.reset();
}

}
