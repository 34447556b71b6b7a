#include "ledger/LedgerDrawing.h"

#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace contivo::ledger {

QRect RettangoloTipologia(const QRect& cell, int larghezza)
{
    // Corners as the inclusive-exclusive rectangle (right - w, top + 1) .. (right - 2, bottom - 1).
    const int right = cell.x() + cell.width();
    const int bottom = cell.y() + cell.height();
    return QRect(QPoint(right - larghezza, cell.y() + 1), QPoint(right - 2 - 1, bottom - 1 - 1));
}

QRect RitaglioTestoTipologia(const QRect& cell, int larghezza)
{
    const int right = cell.x() + cell.width();
    const int bottom = cell.y() + cell.height();
    return QRect(QPoint(right - larghezza - 1, cell.y() + 2), QPoint(right - 1 - 1, bottom - 2 - 1));
}

GrigliaDelegate::GrigliaDelegate(
    const ElencoTipologie& elenco, std::function<QString(const QModelIndex&)> tipologiaDi, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_elenco(elenco)
    , m_tipologiaDi(std::move(tipologiaDi))
    , m_valoreSaldo([](const QModelIndex& i) { return i.data(Qt::EditRole).toDouble(); })
{
}

void GrigliaDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QRect cell = option.rect;
    if (index.column() == m_colonne.saldo) {
        if (m_valoreSaldo(index) < 0) {
            painter->save();
            painter->setPen(QPen(colori::kRossoUscite, 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(cell.adjusted(0, 0, -1, -1));
            painter->restore();
        }
        return;
    }
    if (index.column() != m_colonne.commento || !m_mostra)
        return;
    const QString nome = m_tipologiaDi(index);
    const auto colore = m_elenco.coloreDi(nome);
    if (nome.isEmpty() || !colore)
        return;
    painter->save();
    painter->fillRect(RettangoloTipologia(cell, m_larghezza), *colore);
    painter->setClipRect(RitaglioTestoTipologia(cell, m_larghezza));
    painter->setPen(Qt::white);
    painter->setFont(option.font);
    const QFontMetrics fm(option.font);
    painter->drawText(QPoint(cell.x() + cell.width() - m_larghezza, cell.y() + 2 + fm.ascent()), nome);
    painter->restore();
}

void DisegnaVoceTipologia(
    QPainter& p, const QRect& r, const QColor& sfondo, const ElencoTipologie::Voce& voce, const QFont& font)
{
    p.fillRect(r, sfondo);
    if (!voce.colore)
        return;
    p.save();
    p.fillRect(r.adjusted(2, 1, -2, -1), ColoreDaIntero(*voce.colore));
    p.setClipRect(r.adjusted(1, 2, -1, -2));
    p.setPen(Qt::white);
    p.setFont(font);
    p.drawText(QPoint(r.x() + 2, r.y() + 2 + QFontMetrics(font).ascent()), voce.nome);
    p.restore();
}

TipologiaDelegate::TipologiaDelegate(const ElencoTipologie& elenco, QComboBox* combo)
    : QStyledItemDelegate(combo)
    , m_elenco(elenco)
    , m_combo(combo)
{
}

void TipologiaDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int row = index.row();
    if (row < 0 || row >= m_elenco.count())
        return;
    // The field's own background, so no selection highlight is drawn.
    DisegnaVoceTipologia(
        *painter, option.rect, m_combo->palette().color(QPalette::Base), m_elenco.at(row), option.font);
}

QSize TipologiaDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kAltezzaVoceTipologia);
}

TipologiaCombo::TipologiaCombo(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
}

void TipologiaCombo::setElenco(const ElencoTipologie* elenco)
{
    m_elenco = elenco;
    clear();
    if (!elenco)
        return;
    setItemDelegate(new TipologiaDelegate(*elenco, this));
    for (int i = 0; i < elenco->count(); ++i)
        addItem(elenco->at(i).nome);
    setCurrentIndex(-1);
}

QString TipologiaCombo::tipologia() const
{
    return currentIndex() < 0 ? QString() : currentText();
}

void TipologiaCombo::setTipologia(const QString& nome)
{
    setCurrentIndex(m_elenco ? m_elenco->indexOf(nome) : -1);
}

void TipologiaCombo::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect edit = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    const int i = currentIndex();
    if (i >= 0 && m_elenco && i < m_elenco->count()) {
        DisegnaVoceTipologia(p, edit, palette().color(QPalette::Base), m_elenco->at(i), font());
    } else {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(edit.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, currentText());
    }
}

}
