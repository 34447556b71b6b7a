#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace contivo {

/// The category name dialog: asks the name of a new category or the new name of a renamed one.
/// Created once at start-up and reused; every showing starts with an empty name.
class TFormNuovaCategoria : public QDialog {
    Q_OBJECT
public:
    explicit TFormNuovaCategoria(QWidget* parent = nullptr);

    /// The name typed by the user.
    QString nomeCategoria() const;
    QLineEdit* NomeCategoria() const { return m_nome; }
    QPushButton* BtnConferma() const { return m_conferma; }
    QPushButton* BtnAnnulla() const { return m_annulla; }

    void BtnConfermaClick();
    void BtnAnnullaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QLineEdit* m_nome;
    QPushButton* m_conferma;
    QPushButton* m_annulla;
};

}
