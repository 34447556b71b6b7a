#pragma once

#include "ledger/ElencoTipologie.h"

#include <QComboBox>
#include <QStyledItemDelegate>
#include <functional>

namespace contivo::ledger {

/// Colours of the ledger window.
namespace colori {
inline const QColor kSfondoEntrate(230, 255, 241);
inline const QColor kSfondoUscite(252, 239, 239);
inline const QColor kVerdeEntrate(0, 121, 61);
inline const QColor kRossoUscite(142, 35, 32);
inline const QColor kBluSaldoFinale(0, 123, 183);
inline const QColor kArancioSaldoIniziale(255, 128, 0);
}

/// Height of an item of the type lists.
inline constexpr int kAltezzaVoceTipologia = 19;

/// Where the type box of a comment cell is filled and where its text is clipped.
QRect RettangoloTipologia(const QRect& cell, int larghezza);
QRect RitaglioTestoTipologia(const QRect& cell, int larghezza);

/// Draws the grid cells of a ledger side: a dark red frame around a negative balance and, when
/// asked, the movement's type in a coloured box at the right end of the comment cell.
class GrigliaDelegate : public QStyledItemDelegate {
public:
    struct Colonne {
        int commento = -1;
        int saldo = -1;
    };
    /// tipologiaDi gives the type name of the row of a model index.
    GrigliaDelegate(const ElencoTipologie& elenco, std::function<QString(const QModelIndex&)> tipologiaDi,
        QObject* parent = nullptr);

    void setColonne(Colonne c) { m_colonne = c; }
    void setMostraTipologie(bool on) { m_mostra = on; }
    void setLarghezzaTipologie(int w) { m_larghezza = w; }
    /// The value of a balance cell; the default reads the model's edit role as a number.
    void setValoreSaldo(std::function<double(const QModelIndex&)> f) { m_valoreSaldo = std::move(f); }

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const ElencoTipologie& m_elenco;
    std::function<QString(const QModelIndex&)> m_tipologiaDi;
    std::function<double(const QModelIndex&)> m_valoreSaldo;
    Colonne m_colonne;
    bool m_mostra = false;
    int m_larghezza = 64;
};

/// Draws an item of a type list: the type's colour inset in the item, its name in white.
class TipologiaDelegate : public QStyledItemDelegate {
public:
    TipologiaDelegate(const ElencoTipologie& elenco, QComboBox* combo);
    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const ElencoTipologie& m_elenco;
    QComboBox* m_combo;
};

/// Paints one type item (used by the list and by the field's edit part). Nothing is drawn for
/// a type without a colour beyond the background.
void DisegnaVoceTipologia(
    QPainter& p, const QRect& r, const QColor& sfondo, const ElencoTipologie::Voce& voce, const QFont& font);

/// The drop-down list of movement types: its items and its closed field are drawn with the
/// types' colours; with no selection the field shows its text.
class TipologiaCombo : public QComboBox {
    Q_OBJECT
public:
    explicit TipologiaCombo(QWidget* parent = nullptr);
    /// Shares the list (owned by the window) and fills the items.
    void setElenco(const ElencoTipologie* elenco);
    /// The type shown: its name with a selection, else empty.
    QString tipologia() const;
    /// Selects the named type; no selection and empty text when the name is not in the list.
    void setTipologia(const QString& nome);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ElencoTipologie* m_elenco = nullptr;
};

}
