#pragma once

#include <QColor>
#include <QFrame>
#include <QPlainTextEdit>

namespace contivo {

/// A flat coloured panel with an optional centred caption: the coloured title strips and panels of
/// the windows. Its edges are drawn with a light top/left and a dark bottom/right line
/// (ColorFlatPanel derives them from one base colour). It may hold child widgets like any frame.
class FlatPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(QColor highlightColor READ highlightColor WRITE setHighlightColor)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor)

public:
    explicit FlatPanel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QColor highlightColor() const { return m_highlight; }
    void setHighlightColor(const QColor& color);
    QColor shadowColor() const { return m_shadow; }
    void setShadowColor(const QColor& color);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_color;
    QColor m_highlight;
    QColor m_shadow;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};

/// A read-only box of explanatory lines (the hint box of the table windows). Its text is a list
/// of lines, which language files may replace.
class HintBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit HintBox(QWidget* parent = nullptr);
    void setLines(const QStringList& lines);
    QStringList lines() const;
};

}
