#pragma once

#include <QLineEdit>

namespace contivo::ledger {

/// Amount field of the ledger: shows its value with two decimals in the system's number format
/// and never an empty text (an emptied field reads and shows 0).
class ImportoEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit ImportoEdit(QWidget* parent = nullptr);

    void setValue(double value);
    /// The amount typed; false in ok when the text is not a number.
    double value(bool* ok = nullptr) const;

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void normalise();
};

}
