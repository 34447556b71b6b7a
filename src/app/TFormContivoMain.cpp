#include "app/TFormContivoMain.h"

#include "app/CategoryIcons.h"
#include "app/CategoryListView.h"
#include "app/FolderMonitor.h"
#include "app/LedgerLink.h"
#include "app/MovementImport.h"
#include "app/NotesFile.h"
#include "app/TFormNuovaCategoria.h"
#include "app/WatchedFileName.h"

#include "base/AppInfo.h"
#include "config/Startup.h"
#include "lang/Language.h"
#include "platform/Folders.h"
#include "storage/TDC.h"
#include "support/Appearance.h"
#include "support/MessageBoxes.h"
#include "support/Seams.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace contivo {

namespace {

constexpr int kFirstMenuYear = 2002;
constexpr int kLastMenuYear = 2026;
constexpr int kNotesPanelWidth = 240;
constexpr int kBalloonTitleLength = 63;
constexpr int kBalloonTextLength = 255;
const QColor kThemeColor(0x1f, 0x6f, 0x78);

const QString kGenerale = QStringLiteral("(Generale)");
const QString kCategoria = QStringLiteral("(Categoria)");

// A message of the language in use, the Italian text when the language has none.
QString msg(const char* key, const QString& italian)
{
    return GetLanguageText(QLatin1String(key), italian);
}

QString withoutAccelerator(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Swallows tooltips for the whole application when the user turned hints off.
class HintBlocker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip; }
};

// A coloured title bar; the caption label carries the panel's name so language files translate it.
QWidget* panelHeader(const QString& caption, const QString& name, QWidget* tool)
{
    auto* header = new QWidget;
    header->setObjectName(name + QStringLiteral("Titolo"));
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, kThemeColor);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    header->setPalette(palette);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(caption);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setPalette(palette);
    layout->addWidget(label);
    layout->addStretch();
    if (tool) {
        // White on the bar in every state, with a light veil under the mouse and while pressed.
        tool->setStyleSheet(QStringLiteral(
            "QToolButton { color: white; border: none; padding: 1px 6px; background: transparent; }"
            "QToolButton:hover, QToolButton:pressed, QToolButton:open { background: rgba(255, 255, 255, 50);"
            " border-radius: 3px; }"));
        layout->addWidget(tool);
    }
    return header;
}

}

TFormContivoMain::TFormContivoMain(TDC& dc, QWidget* parent)
    : QMainWindow(parent)
    , m_dc(dc)
{
    setObjectName(QStringLiteral("FormContivoMain"));
    setWindowTitle(QStringLiteral("Contivo - Categorie"));
    resize(1000, 680);

    buildToolBar();
    buildCentralArea();
    buildStatusBar();
    buildTrayIcon();

    applyHints();
    if (SettingsReady()) {
        TConfigurazione& settings = GetSettings();
        const bool placed = settings.ReadInteger(placementSection(objectName()), QStringLiteral("Width"),
                                TConfigurazione::kMissingInteger)
            != TConfigurazione::kMissingInteger;
        BindFormPlacement(settings, *this);
        if (!placed)
            setWindowState(windowState() | Qt::WindowMaximized);
    }

    m_monitor = new FolderMonitor(this);
    m_monitor->setObjectName(QStringLiteral("FolderMonitor"));
    connect(m_monitor, &FolderMonitor::changed, this, [this] {
        guarded([this] { FolderMonitorChange(); });
        m_monitor->markHandled();
    });
    m_monitor->setFolder(SottocartellaUtente(QStringLiteral("Exchange")));

    buildMenus();

    try {
        FormCreate();
    } catch (const std::exception& error) {
        showException(error);
    }
}

TFormContivoMain::~TFormContivoMain()
{
    TrayNotifier::defaultNotifier().setFallback({});
}

// ---- construction ----------------------------------------------------------------------------

void TFormContivoMain::buildMenus()
{
    m_menuAnno = menuBar()->addMenu(QStringLiteral("&Anno"));
    m_menuAnno->setObjectName(QStringLiteral("MnuAnno"));
    for (int year = kFirstMenuYear; year <= kLastMenuYear; ++year) {
        QAction* item = m_menuAnno->addAction(QString::number(year));
        item->setObjectName(QStringLiteral("PopAnno_") + QString::number(year));
        connect(item, &QAction::triggered, this, [this, item] { guarded([&] { AnnoClick(item); }); });
    }

    const auto addCommand = [this](QMenu* menu, const QString& caption, const QString& name) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, name] {
            const auto found = m_commands.find(name);
            if (found == m_commands.end() || !found->second)
                return;
            try {
                found->second();
            } catch (const std::exception& error) {
                showException(error);
            }
        });
        return item;
    };
    QMenu* tabelle = menuBar()->addMenu(QStringLiteral("Tabelle"));
    tabelle->setObjectName(QStringLiteral("MnuTabelle"));
    addCommand(tabelle, QStringLiteral("Tipologie movimenti"), QStringLiteral("PopTipologie"));
    QMenu* strumenti = menuBar()->addMenu(QStringLiteral("Strumenti"));
    strumenti->setObjectName(QStringLiteral("MnuStrumenti"));
    addCommand(strumenti, QStringLiteral("Esporta Backup"), QStringLiteral("PopEsportaBackup"));
    addCommand(strumenti, QStringLiteral("Importa Backup"), QStringLiteral("PopImportaBackup"));
    addCommand(strumenti, QStringLiteral("Gestione Backup"), QStringLiteral("PopGestioneBackup"));
    strumenti->addSeparator();
    addCommand(strumenti, QStringLiteral("Impostazioni"), QStringLiteral("PopImpostazioni"));
    QMenu* aiuto = menuBar()->addMenu(QStringLiteral("Ai&uto"));
    aiuto->setObjectName(QStringLiteral("MnuAiuto"));
    addCommand(aiuto, QStringLiteral("Au&tore"), QStringLiteral("PopupAutore"));
}

void TFormContivoMain::setCommand(const QString& actionName, std::function<void()> handler)
{
    QAction* item = findChild<QAction*>(actionName);
    if (!item && actionName != QLatin1String("FormShow"))
        return;
    const bool enabled = static_cast<bool>(handler);
    m_commands[actionName] = std::move(handler);
    if (item)
        item->setEnabled(enabled);
}

void TFormContivoMain::buildToolBar()
{
    m_barra = new QToolBar(QStringLiteral("Pulsanti"), this);
    m_barra->setObjectName(QStringLiteral("BarraPulsanti"));
    // Docking at the left or right edge is refused: the captions are made for a horizontal bar.
    m_barra->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    m_barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_barra->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, m_barra);

    const auto button = [this](const QString& name, const QString& caption, const QString& hint) {
        auto* b = new QToolButton;
        b->setObjectName(name);
        b->setText(caption);
        b->setToolTip(hint);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        m_barra->addWidget(b);
        return b;
    };
    m_btnAggiungi = button(QStringLiteral("BtnAggiungi"), QStringLiteral("  Aggiungi Categoria"),
        QStringLiteral("Aggiunge una nuova categoria."));
    m_btnElimina = button(QStringLiteral("BtnElimina"), QStringLiteral("  Elimina Categoria"),
        QStringLiteral("Elimina la categoria attualmente selezionata."));
    m_btnModifica = button(QStringLiteral("BtnModifica"), QStringLiteral("  Visualizza Movimenti"),
        QStringLiteral("Visualizza la finestra di gestione entrate/uscite."));
    connect(m_btnAggiungi, &QToolButton::clicked, this, [this] {
        try {
            BtnAggiungiClick();
        } catch (const std::exception& e) {
            showException(e);
        }
    });
    connect(m_btnElimina, &QToolButton::clicked, this, [this] { guarded([this] { BtnEliminaClick(); }); });
    connect(m_btnModifica, &QToolButton::clicked, this,
        [this] { guarded([this] { ListaCategorieDblClick(); }); });
}

void TFormContivoMain::buildCentralArea()
{
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("PnlPrincipale"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    // Year strip.
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("PnlAnno"));
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    m_btnAnnoPrecedente = new QToolButton;
    m_btnAnnoPrecedente->setObjectName(QStringLiteral("BtnAnnoPrecedente"));
    m_btnAnnoPrecedente->setToolTip(QStringLiteral("Anno precedente"));
    m_btnAnnoPrecedente->setAutoRaise(true);
    m_btnAnnoSuccessivo = new QToolButton;
    m_btnAnnoSuccessivo->setObjectName(QStringLiteral("BtnAnnoSuccessivo"));
    m_btnAnnoSuccessivo->setToolTip(QStringLiteral("Anno successivo"));
    m_btnAnnoSuccessivo->setAutoRaise(true);
    m_labelAnno = new QLabel;
    m_labelAnno->setObjectName(QStringLiteral("LabelAnno"));
    QFont yearFont = m_labelAnno->font();
    yearFont.setPointSizeF(yearFont.pointSizeF() * 1.8);
    yearFont.setBold(true);
    m_labelAnno->setFont(yearFont);
    QPalette yearPalette = m_labelAnno->palette();
    yearPalette.setColor(QPalette::WindowText, kThemeColor);
    m_labelAnno->setPalette(yearPalette);
    m_labelAnno->setMinimumWidth(150);
    m_labelAnno->setAlignment(Qt::AlignCenter);
    stripLayout->addWidget(m_btnAnnoPrecedente);
    stripLayout->addWidget(m_labelAnno);
    stripLayout->addWidget(m_btnAnnoSuccessivo);
    stripLayout->addStretch();
    connect(m_btnAnnoPrecedente, &QToolButton::clicked, this,
        [this] { guarded([this] { BtnAnnoPrecedenteClick(); }); });
    connect(m_btnAnnoSuccessivo, &QToolButton::clicked, this,
        [this] { guarded([this] { BtnAnnoSuccessivoClick(); }); });
    layout->addWidget(strip);

    // Category panel.
    auto* categories = new QWidget;
    categories->setObjectName(QStringLiteral("PnlListaCategorie"));
    auto* catLayout = new QVBoxLayout(categories);
    catLayout->setContentsMargins(0, 0, 0, 0);
    catLayout->setSpacing(0);
    m_btnVista = new QToolButton;
    m_btnVista->setObjectName(QStringLiteral("BtnVistaCategorie"));
    m_btnVista->setPopupMode(QToolButton::InstantPopup);
    m_btnVista->setAutoRaise(true);
    m_popupVista = new QMenu(m_btnVista);
    m_popupVista->setObjectName(QStringLiteral("PopupVistaCategorie"));
    auto* group = new QActionGroup(m_popupVista);
    group->setExclusive(true);
    const auto styleItem
        = [this, group](const QString& caption, const QString& name, void (TFormContivoMain::*slot)()) {
              QAction* item = m_popupVista->addAction(caption);
              item->setObjectName(name);
              item->setCheckable(true);
              group->addAction(item);
              connect(item, &QAction::triggered, this, slot);
              return item;
          };
    styleItem(QStringLiteral("Icone piccole"), QStringLiteral("PopIconePiccole"),
        &TFormContivoMain::PopIconePiccoleClick);
    styleItem(QStringLiteral("Icone grandi"), QStringLiteral("PopIconeGrandi"),
        &TFormContivoMain::PopIconeGrandiClick);
    QAction* lista
        = styleItem(QStringLiteral("Lista"), QStringLiteral("PopLista"), &TFormContivoMain::PopListaClick);
    styleItem(QStringLiteral("Dettagli"), QStringLiteral("PopDettagli"), &TFormContivoMain::PopDettagliClick);
    lista->setChecked(true);
    m_btnVista->setMenu(m_popupVista);
    m_btnVista->setText(QStringLiteral("Lista"));
    catLayout->addWidget(
        panelHeader(QStringLiteral(" Categorie"), QStringLiteral("PnlCategorie"), m_btnVista));

    m_lista = new CategoryListView;
    m_lista->setObjectName(QStringLiteral("ListaCategorie"));
    const CategoryIconPair icon = defaultCategoryIcon();
    m_lista->setDefaultImages(icon.small, icon.large);
    catLayout->addWidget(m_lista, 1);
    connect(m_lista, &CategoryListView::itemSelected, this, [this](int row) {
        try {
            ListaCategorieChange(row);
        } catch (const std::exception& e) {
            showException(e);
        }
    });
    connect(m_lista, &CategoryListView::itemActivated, this,
        [this] { guarded([this] { ListaCategorieDblClick(); }); });

    m_popupCategoria = new QMenu(this);
    m_popupCategoria->setObjectName(QStringLiteral("PopupCategoria"));
    const auto popupItem
        = [this](const QString& caption, const QString& name, void (TFormContivoMain::*slot)()) {
              QAction* item = m_popupCategoria->addAction(caption);
              item->setObjectName(name);
              connect(item, &QAction::triggered, this, [this, slot] {
                  try {
                      (this->*slot)();
                  } catch (const std::exception& e) {
                      showException(e);
                  }
              });
              return item;
          };
    popupItem(QStringLiteral("&Elimina"), QStringLiteral("PopElimina"), &TFormContivoMain::BtnEliminaClick);
    popupItem(QStringLiteral("&Rinomina"), QStringLiteral("PopRinomina"),
        &TFormContivoMain::PopupRinominaCategoriaClick);
    popupItem(QStringLiteral("&Visualizza"), QStringLiteral("PopVisualizza"),
        &TFormContivoMain::ListaCategorieDblClick);
    m_popupCategoria->addSeparator();
    popupItem(QStringLiteral("Cambia icona"), QStringLiteral("PopCambiaIcona"),
        &TFormContivoMain::PopIconaCategoriaClick);
    popupItem(QStringLiteral("Ripristina icona"), QStringLiteral("PopRipristinaIcona"),
        &TFormContivoMain::PopRipristinaIconaClick);
    connect(m_popupCategoria, &QMenu::aboutToShow, this, &TFormContivoMain::PopupCategoriaPopup);
    connect(m_lista, &CategoryListView::contextMenuRequested, this,
        [this](const QPoint& pos) { m_popupCategoria->popup(pos); });

    // Notes panel.
    auto* notesPanel = new QWidget;
    notesPanel->setObjectName(QStringLiteral("PnlNote"));
    auto* notesLayout = new QVBoxLayout(notesPanel);
    notesLayout->setContentsMargins(0, 0, 0, 0);
    notesLayout->setSpacing(4);
    m_btnSceltaAppunti = new QToolButton;
    m_btnSceltaAppunti->setObjectName(QStringLiteral("BtnSceltaAppunti"));
    m_btnSceltaAppunti->setText(kGenerale);
    m_btnSceltaAppunti->setAutoRaise(true);
    connect(m_btnSceltaAppunti, &QToolButton::clicked, this, [this] {
        try {
            BtnSceltaAppuntiClick();
        } catch (const std::exception& e) {
            showException(e);
        }
    });
    notesLayout->addWidget(
        panelHeader(QStringLiteral(" Appunti e note"), QStringLiteral("PnlAppunti"), m_btnSceltaAppunti));
    m_appunti = new QListWidget;
    m_appunti->setObjectName(QStringLiteral("ElencoAppunti"));
    m_appunti->setAlternatingRowColors(true);
    m_appunti->setSelectionMode(QAbstractItemView::SingleSelection);
    m_appunti->setWordWrap(true);
    m_appunti->installEventFilter(this);
    connect(m_appunti, &QListWidget::itemSelectionChanged, this, &TFormContivoMain::ElencoAppuntiClick);
    notesLayout->addWidget(m_appunti, 1);

    auto* fields = new QWidget;
    fields->setObjectName(QStringLiteral("PnlCampiAppunti"));
    auto* fieldsLayout = new QHBoxLayout(fields);
    fieldsLayout->setContentsMargins(0, 0, 0, 0);
    fieldsLayout->setSpacing(2);
    m_editAppunto = new QLineEdit;
    m_editAppunto->setObjectName(QStringLiteral("EditAppunto"));
    m_btnAggiungiAppunto = new QToolButton;
    m_btnAggiungiAppunto->setObjectName(QStringLiteral("BtnAggiungiAppunto"));
    m_btnAggiungiAppunto->setText(QStringLiteral("+"));
    m_btnAggiungiAppunto->setToolTip(QStringLiteral("Aggiunge una nuova nota alla lista appunti."));
    m_btnEliminaAppunto = new QToolButton;
    m_btnEliminaAppunto->setObjectName(QStringLiteral("BtnEliminaAppunto"));
    m_btnEliminaAppunto->setText(QStringLiteral("-"));
    m_btnEliminaAppunto->setToolTip(
        QStringLiteral("Elimina la nota correntemente selezionata dagli appunti."));
    m_btnEliminaAppunto->setEnabled(false);
    fieldsLayout->addWidget(m_editAppunto, 1);
    fieldsLayout->addWidget(m_btnAggiungiAppunto);
    fieldsLayout->addWidget(m_btnEliminaAppunto);
    connect(m_btnAggiungiAppunto, &QToolButton::clicked, this, [this] {
        try {
            BtnAggiungiAppuntoClick();
        } catch (const std::exception& e) {
            showException(e);
        }
    });
    connect(m_editAppunto, &QLineEdit::returnPressed, m_btnAggiungiAppunto, &QToolButton::click);
    connect(m_btnEliminaAppunto, &QToolButton::clicked, this, [this] {
        try {
            BtnEliminaAppuntoClick();
        } catch (const std::exception& e) {
            showException(e);
        }
    });
    notesLayout->addWidget(fields);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("Splitter"));
    splitter->addWidget(categories);
    splitter->addWidget(notesPanel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(0, false);
    notesPanel->resize(kNotesPanelWidth, notesPanel->height());
    splitter->setSizes({ 760, kNotesPanelWidth });
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
}

void TFormContivoMain::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("BarraStato"));
    m_statoAnno = new QLabel;
    m_statoAnno->setObjectName(QStringLiteral("BarraStatoPannello0"));
    m_statoAnno->setFixedWidth(80);
    m_statoMessaggio = new QLabel;
    m_statoMessaggio->setObjectName(QStringLiteral("BarraStatoPannello1"));
    m_statoMessaggio->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_statoMessaggio->setTextFormat(Qt::PlainText);
    bar->addWidget(m_statoAnno);
    bar->addWidget(m_statoMessaggio, 1);
}

void TFormContivoMain::buildTrayIcon()
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        const CategoryIconPair pair = defaultCategoryIcon();
        icon.addPixmap(pair.small);
        icon.addPixmap(pair.large);
    }
    if (windowIcon().isNull() || windowIcon().cacheKey() == QApplication::windowIcon().cacheKey())
        setWindowIcon(icon);
    TrayNotifier& notifier = TrayNotifier::defaultNotifier();
    notifier.setFallback(
        [this](const QString& title, const QString& text, NotifyIcon) { showStatusMessage(title, text); });
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(icon, this);
    m_tray->setObjectName(QStringLiteral("TrayIcon"));
    m_tray->setToolTip(QString::fromLatin1(kAppTitle));
    m_tray->show();
    notifier.setTrayIcon(m_tray);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this] {
        showNormal();
        raise();
        activateWindow();
    });
}

void TFormContivoMain::applyHints()
{
    if (!SettingsReady())
        return;
    const bool hints
        = GetSettings().ReadBool(QStringLiteral("Interfaccia"), QStringLiteral("MostraHint"), true);
    static HintBlocker* blocker = nullptr;
    if (!hints && !blocker) {
        blocker = new HintBlocker(qApp);
        qApp->installEventFilter(blocker);
    } else if (hints && blocker) {
        qApp->removeEventFilter(blocker);
        delete blocker;
        blocker = nullptr;
    }
}

void TFormContivoMain::applyPictures()
{
    const struct {
        QToolButton* button;
        const char* picture;
    } pictures[] = {
        { m_btnAggiungi, "BtnAggiungiCategoria" },
        { m_btnElimina, "BtnEliminaCategoria" },
        { m_btnModifica, "BtnModificaCategoria" },
        { m_btnAggiungiAppunto, "BtnSomma" },
        { m_btnEliminaAppunto, "BtnSottrai" },
        { m_btnAnnoPrecedente, "BtnIndietro" },
        { m_btnAnnoSuccessivo, "BtnAvanti" },
    };
    for (const auto& p : pictures)
        SkinButton(p.button, QLatin1String(p.picture));
    // Buttons without a caption show just their picture; with no picture file they keep a sign.
    for (QToolButton* b :
        { m_btnAggiungiAppunto, m_btnEliminaAppunto, m_btnAnnoPrecedente, m_btnAnnoSuccessivo })
        b->setToolButtonStyle(b->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    if (m_btnAnnoPrecedente->icon().isNull())
        m_btnAnnoPrecedente->setArrowType(Qt::LeftArrow);
    if (m_btnAnnoSuccessivo->icon().isNull())
        m_btnAnnoSuccessivo->setArrowType(Qt::RightArrow);
}

void TFormContivoMain::FormCreate()
{
    RecordTable& mesi = m_dc.TabellaMesi;
    mesi.EmptyTable();
    for (int month = 1; month <= 12; ++month) {
        mesi.Append();
        mesi.FieldByName(QStringLiteral("Mese")).SetAsInteger(month);
        mesi.Post();
    }
    ImpostaAnno(Today().year());
    m_lingua = QStringLiteral("Italiano");
    TranslateForm(this, m_lingua);
    applyPictures();
}

// ---- years -----------------------------------------------------------------------------------

QString TFormContivoMain::cartellaAnno() const
{
    return SottocartellaUtente(QStringLiteral("Tabelle/") + QString::number(m_anno));
}

void TFormContivoMain::ImpostaAnno(int year)
{
    m_anno = year;
    m_statoAnno->setText(QStringLiteral("Anno: ") + QString::number(year));
    m_labelAnno->setText(QStringLiteral("Anno ") + QString::number(year));
    m_btnSceltaAppunti->setText(kGenerale);
    m_noteCategoria = false;
    CaricaAppunti();
    ElencaCategorie(year);
}

void TFormContivoMain::AnnoClick(QAction* item)
{
    ImpostaAnno(withoutAccelerator(item->text()).toInt());
}

void TFormContivoMain::BtnAnnoPrecedenteClick()
{
    ImpostaAnno(m_anno - 1);
}

void TFormContivoMain::BtnAnnoSuccessivoClick()
{
    ImpostaAnno(m_anno + 1);
}

// ---- categories ------------------------------------------------------------------------------

void TFormContivoMain::ElencaCategorie(int year)
{
    m_lista->clear();
    const CategoryCatalogue list(SottocartellaUtente(QStringLiteral("Tabelle/") + QString::number(year)));
    for (const CategoryEntry& entry : list.list()) {
        int image = 0;
        if (!entry.iconPath.isEmpty()) {
            const CategoryIconPair icon = readCategoryIcon(entry.iconPath);
            if (!icon.isNull())
                image = m_lista->addImages(icon.small, icon.large);
        }
        m_lista->addItem(entry.caption, image);
    }
}

bool TFormContivoMain::requireSelection()
{
    if (m_lista->selectedRow() >= 0)
        return true;
    ShowWarning(msg("MsgWarn.SelezionaCategoria", QStringLiteral("E' necessario selezionare una categoria")));
    return false;
}

bool TFormContivoMain::askCategoryName()
{
    if (!m_dialog)
        return false;
    return RunModal(*m_dialog) == QDialog::Accepted;
}

void TFormContivoMain::BtnAggiungiClick()
{
    if (!askCategoryName())
        return;
    try {
        createCategory(m_dialog->nomeCategoria());
    } catch (...) {
        ElencaCategorie(m_anno);
        throw;
    }
    ElencaCategorie(m_anno);
}

void TFormContivoMain::createCategory(const QString& name)
{
    const CategoryCatalogue list = catalogue();
    if (categoryNameRefused(name)) {
        ShowError(msg("MsgErr.NomeCategoria",
            QStringLiteral("Il nome categoria specificato non sembra essere un nome valido. I caratteri '' "
                           "non sono ammessi")));
        return;
    }
    // Empty files over a category's stored movements would lose them.
    if (list.hasFile(name, QStringLiteral("OUT")) || list.hasFile(name, QStringLiteral("IN"))) {
        ShowError(msg(
            "MsgErr.CategoriaEsistente", QStringLiteral("Esiste già una categoria con il nome specificato")));
        return;
    }
    m_dc.TabellaEntrate.EmptyTable();
    m_dc.SaveFormat.Save(m_dc.TabellaEntrate, list.filePath(name, QStringLiteral("OUT")));
    m_dc.TabellaUscite.EmptyTable();
    m_dc.SaveFormat.Save(m_dc.TabellaUscite, list.filePath(name, QStringLiteral("IN")));
}

void TFormContivoMain::PopupRinominaCategoriaClick()
{
    if (!requireSelection())
        return;
    const QString oldName = m_lista->selectedCaption();
    if (!askCategoryName())
        return;
    if (!catalogue().rename(oldName, m_dialog->nomeCategoria()))
        ShowError(msg(
            "MsgErr.RinominaCategoria", QStringLiteral("Impossibile rinominare la categoria selezionata")));
    ElencaCategorie(m_anno);
}

void TFormContivoMain::BtnEliminaClick()
{
    if (!requireSelection())
        return;
    if (ShowMessageBox(msg("MsgConf.EliminaCategoria", QStringLiteral("Eliminare la categoria selezionata?")),
            msg("MsgConf.EliminaCategoria.Titolo", QStringLiteral("Conferma eliminazione")),
            MB_ICONQUESTION | MB_YESNO)
        != IDYES)
        return;
    if (!catalogue().remove(m_lista->selectedCaption()))
        ShowError(msg("MsgErr.EliminaCategoria",
            QStringLiteral("Impossibile eliminare completamente la categoria selezionata")));
    ElencaCategorie(m_anno);
}

void TFormContivoMain::PopIconaCategoriaClick()
{
    if (!requireSelection())
        return;
    FileDialogRequest request;
    request.title = msg("MsgDlg.SelezionaIcona", QStringLiteral("Seleziona icona"));
    request.filter = QStringLiteral("Icons (*.ico)");
    request.defaultExtension = QStringLiteral("ico");
    const QString chosen = DialogProvider::instance().openFileName(this, request);
    if (chosen.isEmpty())
        return;
    if (!catalogue().setIcon(m_lista->selectedCaption(), chosen))
        ShowError(msg("MsgErr.CopiaIcona",
            QStringLiteral(
                "Non è stato possibile copiare il file indicato. Potrebbe essere in uso o protetto.")));
    ElencaCategorie(m_anno);
}

void TFormContivoMain::PopRipristinaIconaClick()
{
    if (!requireSelection())
        return;
    if (ShowMessageBox(msg("MsgConf.RipristinaIcona", QStringLiteral("Ripristinare l'icona predefinita?")),
            msg("MsgConf.RipristinaIcona.Titolo", QStringLiteral("Conferma operazione")),
            MB_ICONQUESTION | MB_YESNO)
        != IDYES)
        return;
    if (!catalogue().restoreIcon(m_lista->selectedCaption()))
        ShowError(msg("MsgErr.RipristinaIcona",
            QStringLiteral("Non è stato possibile ripriostinare l'icona predefinita")));
    ElencaCategorie(m_anno);
}

void TFormContivoMain::PopupCategoriaPopup()
{
    const bool selected = m_lista->selectedRow() >= 0;
    for (const char* name : { "PopElimina", "PopRinomina", "PopVisualizza" }) {
        if (QAction* item = m_popupCategoria->findChild<QAction*>(QLatin1String(name)))
            item->setEnabled(selected);
    }
}

void TFormContivoMain::ListaCategorieChange(int row)
{
    m_categoriaCorrente = m_lista->caption(row);
    CaricaAppunti();
    UpdateEditAppunto();
}

void TFormContivoMain::ListaCategorieDblClick()
{
    const int row = m_lista->selectedRow();
    if (row < 0) {
        ShowMessageBox(msg("MsgErr.NessunaCategoria",
                           QStringLiteral("Nessuna categoria selezionata. Selezionare una categoria.")),
            QStringLiteral("Errore"), MB_OK | MB_ICONERROR);
        return;
    }
    std::unique_ptr<QDialog> ledger;
    try {
        ledger = createLedgerWindow(this, m_dc, m_anno, m_lista->caption(row));
    } catch (const std::exception& error) {
        showException(error);
        return;
    }
    if (!ledger)
        return;
    m_ledger = ledger.get();
    m_ledgerAnno = m_anno;
    m_ledgerCategoria = m_lista->caption(row);
    RunModal(*ledger);
    m_ledger = nullptr;
}

// ---- view styles -----------------------------------------------------------------------------

void TFormContivoMain::setListStyle(int style, QAction* item)
{
    m_lista->setStyle(static_cast<CategoryListView::Style>(style));
    if (item) {
        item->setChecked(true);
        m_btnVista->setText(withoutAccelerator(item->text()));
    }
}

void TFormContivoMain::PopIconePiccoleClick()
{
    setListStyle(static_cast<int>(CategoryListView::Style::SmallIcons),
        m_popupVista->findChild<QAction*>(QStringLiteral("PopIconePiccole")));
}

void TFormContivoMain::PopIconeGrandiClick()
{
    setListStyle(static_cast<int>(CategoryListView::Style::LargeIcons),
        m_popupVista->findChild<QAction*>(QStringLiteral("PopIconeGrandi")));
}

void TFormContivoMain::PopListaClick()
{
    setListStyle(static_cast<int>(CategoryListView::Style::List),
        m_popupVista->findChild<QAction*>(QStringLiteral("PopLista")));
}

void TFormContivoMain::PopDettagliClick()
{
    setListStyle(static_cast<int>(CategoryListView::Style::Details),
        m_popupVista->findChild<QAction*>(QStringLiteral("PopDettagli")));
}

// ---- notes -----------------------------------------------------------------------------------

QString TFormContivoMain::fileAppunti() const
{
    return notes::path(cartellaAnno(), m_noteCategoria, m_categoriaCorrente);
}

void TFormContivoMain::CaricaAppunti()
{
    const QStringList lines = notes::load(fileAppunti());
    m_appunti->clear();
    m_appunti->addItems(lines);
}

void TFormContivoMain::SalvaAppunti()
{
    QStringList lines;
    for (int i = 0; i < m_appunti->count(); ++i)
        lines.append(m_appunti->item(i)->text());
    notes::save(fileAppunti(), lines);
}

void TFormContivoMain::EliminaAppunto()
{
    const QList<QListWidgetItem*> selected = m_appunti->selectedItems();
    if (!selected.isEmpty()) {
        delete m_appunti->takeItem(m_appunti->row(selected.first()));
        m_appunti->clearSelection();
    }
    SalvaAppunti();
}

void TFormContivoMain::UpdateEditAppunto()
{
    const QList<QListWidgetItem*> selected = m_appunti->selectedItems();
    m_editAppunto->setText(selected.isEmpty() ? QString() : selected.first()->text());
}

void TFormContivoMain::BtnAggiungiAppuntoClick()
{
    const QString text = m_editAppunto->text();
    if (text.isEmpty())
        return;
    m_appunti->addItem(text);
    SalvaAppunti();
    m_editAppunto->clear();
}

void TFormContivoMain::BtnEliminaAppuntoClick()
{
    EliminaAppunto();
}

void TFormContivoMain::ElencoAppuntiClick()
{
    m_btnEliminaAppunto->setEnabled(!m_appunti->selectedItems().isEmpty());
    UpdateEditAppunto();
}

void TFormContivoMain::ElencoAppuntiKeyUp(int key)
{
    if (key == Qt::Key_Delete)
        EliminaAppunto();
    UpdateEditAppunto();
}

void TFormContivoMain::BtnSceltaAppuntiClick()
{
    m_noteCategoria = !m_noteCategoria;
    m_btnSceltaAppunti->setText(m_noteCategoria ? kCategoria : kGenerale);
    CaricaAppunti();
}

// ---- watched folder --------------------------------------------------------------------------

void TFormContivoMain::FolderMonitorChange()
{
    // A question box keeps the event loop running; a change reported meanwhile is handled by
    // the monitor's next round instead of processing the same files twice.
    if (m_importing) {
        m_importAgain = true;
        return;
    }
    m_importing = true;
    const QStringList entries = ElencaFile(
        SottocartellaUtente(QStringLiteral("Exchange")) + QStringLiteral("Movimenti_*"), false, true);
    for (const QString& path : entries) {
        if (!QFileInfo(path).isFile())
            continue;
        try {
            const WatchedFileName name = WatchedFileName::parse(path);
            const int year = name.year();
            if (ChiediConferma(name.category, year)) {
                ImportaDaCartella(path, name.category, name.yearText, name.side);
            } else {
                QFile::remove(path);
                showBalloon(msg("MsgInfo.Importazione.Titolo", QStringLiteral("Importazione movimenti")),
                    FormatMessageArgs(
                        msg("MsgInfo.ImportazioneRifiutata",
                            QStringLiteral("L'importazione dal file '{0}' è stata rifiutata dall'utente. "
                                           "Il file è stato rimosso.")),
                        { path }),
                    false);
            }
        } catch (const std::exception& error) {
            showException(error);
        }
    }
    m_importing = false;
    if (m_importAgain) {
        m_importAgain = false;
        m_monitor->retrigger();
    }
}

bool TFormContivoMain::ChiediConferma(const QString& category, int year)
{
    if (year != m_anno || category.toUpper() != m_categoriaCorrente.toUpper())
        return true;
    return ShowMessageBox(
               msg("MsgConf.ImportazioneCorrente",
                   QStringLiteral(
                       "E' stata richiesta l'importazione di nuovi movimenti nella categoria corrente. "
                       "Si desidera procedere all'importazione?")),
               QString(), MB_ICONQUESTION | MB_YESNO)
        == IDYES;
}

int TFormContivoMain::ImportaDaCartella(
    const QString& path, const QString& category, const QString& yearText, const QString& side)
{
    const QString suffix = sideSuffix(side);
    const int n = suffix.isEmpty() ? 0 : ImportaMovimenti(path, category, yearText, suffix);
    QFile::remove(path);
    if (n <= 0) {
        showBalloon(msg("MsgErr.Importazione.Titolo", QStringLiteral("Importazione movimenti fallita")),
            FormatMessageArgs(
                msg("MsgErr.Importazione",
                    QStringLiteral("Il tentativo di importazione dei movimenti nel file '{0}' è fallito. "
                                   "Il formato potrebbe essere errato. Il file è stato rimosso.")),
                { path }),
            true);
    } else {
        showBalloon(msg("MsgInfo.Importazione.Titolo", QStringLiteral("Importazione movimenti")),
            FormatMessageArgs(msg("MsgInfo.Importazione",
                                  QStringLiteral("Sono state importate {0} nuove {1} per la categoria {2}. "
                                                 "Il file è stato rimosso.")),
                { QString::number(n), side.toLower(), category }),
            false);
    }
    if (m_ledger && m_ledgerAnno == yearText.toInt() && m_ledgerCategoria.toUpper() == category.toUpper())
        reloadLedgerWindow(*m_ledger);
    return n;
}

int TFormContivoMain::ImportaMovimenti(
    const QString& path, const QString& category, const QString& yearText, const QString& suffix)
{
    MovementImport import(m_dc);
    const int n = import.run(path, category, yearText, suffix);
    if (n <= 0)
        return n;
    if (yearText.toInt() == m_anno) {
        ElencaCategorie(m_anno);
        for (int row = 0; row < m_lista->count(); ++row) {
            if (m_lista->caption(row).startsWith(category, Qt::CaseInsensitive)) {
                m_lista->selectRow(row);
                break;
            }
        }
    }
    return n;
}

// ---- messages and events ---------------------------------------------------------------------

void TFormContivoMain::showBalloon(const QString& title, const QString& text, bool error)
{
    ShowBalloon(title.left(kBalloonTitleLength), text.left(kBalloonTextLength),
        error ? NotifyIcon::Error : NotifyIcon::Information, 136000);
}

void TFormContivoMain::showStatusMessage(const QString& title, const QString& text)
{
    m_statoMessaggio->setText(text);
    m_statoMessaggio->setToolTip(title);
}

void TFormContivoMain::guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        showException(error);
    }
}

void TFormContivoMain::showException(const std::exception& error)
{
    ShowMessageBox(QString::fromUtf8(error.what()), QString::fromLatin1(kAppTitle), MB_OK | MB_ICONERROR);
}

void TFormContivoMain::closeEvent(QCloseEvent* event)
{
    if (ShowMessageBox(msg("MsgConf.Uscita", QStringLiteral("Uscire da Contivo?")),
            msg("MsgConf.Uscita.Titolo", QStringLiteral("Conferma chiusura")), MB_ICONQUESTION | MB_YESNO)
        == IDYES) {
        event->accept();
        if (m_tray)
            m_tray->hide();
    } else {
        event->ignore();
    }
}

void TFormContivoMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // FormShow: the backup reminder, when the backup part registered it.
    const auto found = m_commands.find(QStringLiteral("FormShow"));
    if (found != m_commands.end() && found->second) {
        try {
            found->second();
        } catch (const std::exception& error) {
            showException(error);
        }
    }
}

bool TFormContivoMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_appunti && event->type() == QEvent::KeyRelease) {
        try {
            ElencoAppuntiKeyUp(static_cast<QKeyEvent*>(event)->key());
        } catch (const std::exception& error) {
            showException(error);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}
