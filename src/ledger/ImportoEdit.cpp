#include "ledger/ImportoEdit.h"

#include "base/SystemFormats.h"

namespace contivo::ledger {

ImportoEdit::ImportoEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValue(0);
    connect(this, &QLineEdit::editingFinished, this, &ImportoEdit::normalise);
}

void ImportoEdit::setValue(double value)
{
    setText(SystemFormats::formatFixed(value, 2));
}

double ImportoEdit::value(bool* ok) const
{
    double v = 0;
    bool good = text().trimmed().isEmpty() || SystemFormats::parseDouble(text(), v);
    if (!good)
        v = 0;
    if (ok)
        *ok = good;
    return v;
}

void ImportoEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    normalise();
}

void ImportoEdit::normalise()
{
    bool ok = false;
    const double v = value(&ok);
    if (ok)
        setValue(v);
}

}
