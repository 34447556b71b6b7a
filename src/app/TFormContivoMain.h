#pragma once

#include "app/CategoryCatalogue.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSystemTrayIcon;
class QToolBar;
class QToolButton;

namespace contivo {

class CategoryListView;
class FolderMonitor;
class TDC;
class TFormNuovaCategoria;

/// The program's main window: the categories of the year in view, the year commands, the notes
/// of the year or of the current category, the watched-folder import and the entry to every other
/// window. Closing it (after the exit question) ends the program.
class TFormContivoMain : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window: hints from the settings, placement binding, the folder monitor on the
    /// user data folder's "Exchange" and the year menu; then runs FormCreate (an error there is
    /// shown and the construction goes on).
    explicit TFormContivoMain(TDC& dc, QWidget* parent = nullptr);
    ~TFormContivoMain() override;

    /// The category name dialog used by the add and rename commands (not owned).
    void setCategoryDialog(TFormNuovaCategoria* dialog) { m_dialog = dialog; }

    /// Enables a menu item whose window lives in another part of the program and routes its
    /// command there ("PopTipologie", "PopImpostazioni", "PopEsportaBackup", "PopImportaBackup",
    /// "PopGestioneBackup", "PopupAutore"). Items without a handler stay disabled. The name
    /// "FormShow" registers what runs at the window's first showing (the backup reminder).
    void setCommand(const QString& actionName, std::function<void()> handler);

    int anno() const { return m_anno; }
    QString categoriaCorrente() const { return m_categoriaCorrente; }
    QString linguaInUso() const { return m_lingua; }
    /// The year folder of the year in view (created when missing).
    QString cartellaAnno() const;
    /// The notes file the notes list shows.
    QString fileAppunti() const;

    // Commands and events, public so that the program and the tests can drive them.
    void FormCreate();
    void ImpostaAnno(int year);
    void AnnoClick(QAction* item);
    void BtnAnnoPrecedenteClick();
    void BtnAnnoSuccessivoClick();

    void ElencaCategorie(int year);
    void BtnAggiungiClick();
    void PopupRinominaCategoriaClick();
    void BtnEliminaClick();
    void PopIconaCategoriaClick();
    void PopRipristinaIconaClick();
    void PopupCategoriaPopup();
    void ListaCategorieDblClick();
    void ListaCategorieChange(int row);

    void PopIconePiccoleClick();
    void PopIconeGrandiClick();
    void PopListaClick();
    void PopDettagliClick();

    void CaricaAppunti();
    void SalvaAppunti();
    void EliminaAppunto();
    void UpdateEditAppunto();
    void BtnAggiungiAppuntoClick();
    void BtnEliminaAppuntoClick();
    void ElencoAppuntiClick();
    void ElencoAppuntiKeyUp(int key);
    void BtnSceltaAppuntiClick();

    void FolderMonitorChange();
    bool ChiediConferma(const QString& category, int year);
    int ImportaDaCartella(
        const QString& path, const QString& category, const QString& yearText, const QString& side);
    int ImportaMovimenti(
        const QString& path, const QString& category, const QString& yearText, const QString& suffix);

    /// The ledger window shown at the moment (nullptr when none).
    QDialog* ledgerAperto() const { return m_ledger; }

    CategoryListView* ListaCategorie() const { return m_lista; }
    QListWidget* ElencoAppunti() const { return m_appunti; }
    QLineEdit* EditAppunto() const { return m_editAppunto; }
    FolderMonitor* monitor() const { return m_monitor; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildCentralArea();
    void buildStatusBar();
    void buildTrayIcon();
    void applyHints();
    void applyPictures();
    void setListStyle(int style, QAction* item);
    bool requireSelection();
    bool askCategoryName();
    void createCategory(const QString& name);
    void showBalloon(const QString& title, const QString& text, bool error);
    void showStatusMessage(const QString& title, const QString& text);
    void showException(const std::exception& error);
    /// Runs an event's command; what it raises is shown by the exception display (nothing may
    /// leave an event handler).
    void guarded(const std::function<void()>& command);
    CategoryCatalogue catalogue() const { return CategoryCatalogue(cartellaAnno()); }

    TDC& m_dc;
    std::map<QString, std::function<void()>> m_commands;
    TFormNuovaCategoria* m_dialog = nullptr;
    int m_anno = 0;
    QString m_categoriaCorrente;
    QString m_lingua;
    bool m_noteCategoria = false;
    bool m_shownOnce = false;
    bool m_importing = false;
    bool m_importAgain = false;

    FolderMonitor* m_monitor = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QPointer<QDialog> m_ledger;
    int m_ledgerAnno = 0;
    QString m_ledgerCategoria;

    QMenu* m_menuAnno = nullptr;
    QMenu* m_popupCategoria = nullptr;
    QMenu* m_popupVista = nullptr;
    QToolBar* m_barra = nullptr;
    QToolButton* m_btnAggiungi = nullptr;
    QToolButton* m_btnElimina = nullptr;
    QToolButton* m_btnModifica = nullptr;
    QToolButton* m_btnAnnoPrecedente = nullptr;
    QToolButton* m_btnAnnoSuccessivo = nullptr;
    QLabel* m_labelAnno = nullptr;
    QToolButton* m_btnVista = nullptr;
    CategoryListView* m_lista = nullptr;
    QToolButton* m_btnSceltaAppunti = nullptr;
    QListWidget* m_appunti = nullptr;
    QLineEdit* m_editAppunto = nullptr;
    QToolButton* m_btnAggiungiAppunto = nullptr;
    QToolButton* m_btnEliminaAppunto = nullptr;
    QLabel* m_statoAnno = nullptr;
    QLabel* m_statoMessaggio = nullptr;
};

}
