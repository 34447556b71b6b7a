#include "support/Widgets.h"

#include <QPainter>

namespace contivo {

FlatPanel::FlatPanel(QWidget* parent)
    : QFrame(parent)
    , m_color(palette().color(QPalette::Window))
    , m_highlight(palette().color(QPalette::Light))
    , m_shadow(palette().color(QPalette::Dark))
{
    setFrameShape(QFrame::NoFrame);
}

void FlatPanel::setText(const QString& text)
{
    m_text = text;
    updateGeometry();
    update();
}

void FlatPanel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void FlatPanel::setHighlightColor(const QColor& color)
{
    m_highlight = color;
    update();
}

void FlatPanel::setShadowColor(const QColor& color)
{
    m_shadow = color;
    update();
}

void FlatPanel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QSize FlatPanel::sizeHint() const
{
    const QSize textSize = fontMetrics().size(0, m_text);
    return QSize(textSize.width() + 16, qMax(textSize.height() + 8, 22)).expandedTo(QFrame::sizeHint());
}

void FlatPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, m_color);
    painter.setPen(m_highlight);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(m_shadow);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    if (!m_text.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r.adjusted(6, 2, -6, -2), static_cast<int>(m_alignment) | Qt::TextWordWrap, m_text);
    }
}

HintBox::HintBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setFrameShape(QFrame::StyledPanel);
}

void HintBox::setLines(const QStringList& lines)
{
    setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList HintBox::lines() const
{
    const QString text = toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

}
