#include "ledger/TFormDettagliCategoria.h"

#include "base/AppInfo.h"
#include "base/DateTime.h"
#include "base/SystemFormats.h"
#include "config/Startup.h"
#include "import/ImportCSV.h"
#include "ledger/ImportoEdit.h"
#include "ledger/LedgerDates.h"
#include "ledger/LedgerDrawing.h"
#include "platform/Folders.h"
#include "storage/RecordTableModel.h"
#include "storage/TDC.h"
#include "support/Appearance.h"
#include "support/MessageBoxes.h"
#include "support/Widgets.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace contivo::ledger {

namespace {

const char* const kMsgNessunaTipologia
    = "Non è stata definita alcuna tipologia di movimento. Per aggiungere le tipologie, selezionare nella "
      "schermata principale 'Tabelle->Tipologie movimenti'.";
const char* const kMsgNienteDaEliminare = "Nel mese selezionato non ci sono movimenti da eliminare.";

/// The window framework's own error box: the application title and the error's text.
void MostraErrore(const QString& testo)
{
    ShowMessageBox(testo, QString::fromLatin1(kAppTitle), MB_OK | MB_ICONERROR);
}

QString S(const char* latin1)
{
    return QString::fromUtf8(latin1);
}

/// Column widths that fit a short date and an amount of the grid's font.
int larghezzaData(const QWidget* w)
{
    return w->fontMetrics().horizontalAdvance(S("00/00/0000")) + 12;
}
int larghezzaImporto(const QWidget* w)
{
    return w->fontMetrics().horizontalAdvance(S("-00000,00")) + 12;
}

}

/// The grid model of a side: the amount column is titled "Importo".
class GrigliaModello : public RecordTableModel {
public:
    using RecordTableModel::RecordTableModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole
            && section == columnOfField(S("Movimento")))
            return S("Importo");
        return RecordTableModel::headerData(section, orientation, role);
    }
};

/// One side of the ledger: its table, file suffix and widgets.
struct TFormDettagliCategoria::Lato {
    QString parola; ///< "Entrata" / "Uscita": names of the edit fields and buttons
    QString plurale; ///< "Entrate" / "Uscite": the side's word
    QString suffisso; ///< "IN" / "OUT"
    RecordTable* tabella = nullptr;
    FlatPanel* titolo = nullptr;
    QToolButton* importa = nullptr;
    QTableView* griglia = nullptr;
    GrigliaModello* modello = nullptr;
    GrigliaDelegate* disegno = nullptr;
    QWidget* dettaglio = nullptr;
    QLabel* etichette[4] = {};
    QDateEdit* data = nullptr;
    ImportoEdit* movimento = nullptr;
    TipologiaCombo* tipologia = nullptr;
    QPlainTextEdit* commento = nullptr;
    QPushButton* aggiungi = nullptr;
    QPushButton* aggiorna = nullptr;
    QPushButton* elimina = nullptr;
    bool sincronizzando = false;
};

TFormDettagliCategoria::TFormDettagliCategoria(QWidget* parent, TDC* dc)
    : QDialog(parent)
    , EsportaFile { S("Esporta XLS"), S("File XLS (*.xls)"), S("xls"), {}, {} }
    , ImportaFile { S("Importa da CSV"), S("File CSV (*.csv);;Tutti  i file (*.*)"), {}, {}, {} }
    , m_ledger(dc ? *dc : *DC())
    , m_entrate(std::make_unique<Lato>())
    , m_uscite(std::make_unique<Lato>())
{
    setObjectName(S("FormDettagliCategoria"));
    setWindowTitle(S("Dettagli categoria"));
    // The design size 663 x 513 fits a font of about 5 pixels per character; larger fonts widen
    // the window in proportion so the comment column keeps its share.
    const double scala = std::clamp(fontMetrics().averageCharWidth() / 5.0, 1.0, 1.5);
    resize(static_cast<int>(663 * scala), static_cast<int>(513 * std::min(scala, 1.2)));
    m_entrate->parola = S("Entrata");
    m_entrate->plurale = S("Entrate");
    m_entrate->suffisso = S("IN");
    m_entrate->tabella = &m_ledger.Entrate();
    m_uscite->parola = S("Uscita");
    m_uscite->plurale = S("Uscite");
    m_uscite->suffisso = S("OUT");
    m_uscite->tabella = &m_ledger.Uscite();
    costruisci();
    if (SettingsReady())
        BindFormPlacement(GetSettings(), *this);
    FormCreate();
}

TFormDettagliCategoria::~TFormDettagliCategoria() = default;

TFormDettagliCategoria::Lato& TFormDettagliCategoria::lato(const QString& nome)
{
    return nome == m_uscite->parola ? *m_uscite : *m_entrate;
}

// ---- construction -------------------------------------------------------------------------

void TFormDettagliCategoria::costruisci()
{
    auto* esterno = new QVBoxLayout(this);
    esterno->setContentsMargins(0, 0, 0, 0);
    // An inner main window gives the button bar its docking at the top or bottom edge only.
    m_corpo = new QMainWindow(this);
    m_corpo->setWindowFlags(Qt::Widget); // QMainWindow makes itself a top-level window otherwise
    esterno->addWidget(m_corpo);

    BarraPulsanti = new QToolBar(m_corpo);
    BarraPulsanti->setObjectName(S("BarraPulsanti"));
    BarraPulsanti->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    BarraPulsanti->setFloatable(false);
    BarraPulsanti->setIconSize(QSize(24, 24));
    m_corpo->addToolBar(Qt::TopToolBarArea, BarraPulsanti);

    auto bottone = [this](const char* nome, const char* suggerimento, QStyle::StandardPixmap icona) {
        auto* b = new QToolButton(BarraPulsanti);
        b->setObjectName(S(nome));
        b->setToolTip(S(suggerimento));
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icona));
        BarraPulsanti->addWidget(b);
        return b;
    };
    BtnStampa = bottone("BtnStampa", "Stampa un report", QStyle::SP_FileDialogDetailedView);
    BtnEsporta = bottone("BtnEsporta", "Esporta i dati in formato Excel", QStyle::SP_DialogSaveButton);
    BarraPulsanti->addSeparator();
    BtnDisabilitaMese = bottone("BtnDisabilitaMese",
        "Disabilita la limitazione mensile della data. Utile per inserimenti consecutivi",
        QStyle::SP_FileDialogContentsView);
    BtnMostraTipologie = bottone("BtnMostraTipologie",
        "Abilita o disabilita la visualizzazione delle tipologie di movimento",
        QStyle::SP_FileDialogListView);
    BtnDisabilitaMese->setCheckable(true);
    BtnMostraTipologie->setCheckable(true);
    connect(BtnStampa, &QToolButton::clicked, this, &TFormDettagliCategoria::BtnStampaClick);
    connect(BtnEsporta, &QToolButton::clicked, this, &TFormDettagliCategoria::BtnEsportaClick);
    connect(BtnDisabilitaMese, &QToolButton::clicked, this, &TFormDettagliCategoria::BtnDisabilitaMeseClick);
    connect(BtnMostraTipologie, &QToolButton::clicked, this, &TFormDettagliCategoria::BtnDisabilitaMeseClick);

    // The report menus; their commands come with the summaries and stay disabled until then.
    MenuStampa = new QMenu(this);
    MenuStampa->setObjectName(S("MenuStampa"));
    MenuEsporta = new QMenu(this);
    MenuEsporta->setObjectName(S("MenuEsporta"));
    auto voce = [](QMenu* m, const char* nome, const char* testo) {
        QAction* a = m->addAction(S(testo));
        a->setObjectName(S(nome));
        a->setEnabled(false);
        return a;
    };
    auto sottomenu = [](QMenu* m, const char* nome, const char* testo) {
        QMenu* s = m->addMenu(S(testo));
        s->setObjectName(S(nome));
        s->menuAction()->setObjectName(S(nome));
        return s;
    };
    voce(MenuStampa, "PopStampaRiepilogoMensile", "Stampa riepilogo mensile");
    QMenu* ps = sottomenu(MenuStampa, "PopStampaSituazioneAl", "Stampa situazione al...");
    voce(ps, "Situazioneaoggi1", "Situazione a oggi");
    voce(ps, "Situazioneafineanno1", "Situazione a fine anno");
    voce(ps, "Situazioneadata1", "Situazione alla data");
    QMenu* pa = sottomenu(MenuStampa, "PopStampaRiepilogoAnnuale", "Stampa riepilogo annuale");
    voce(pa, "PopStampaRiepilogoTipologia", "Stampa riepilogo per tipologia");
    voce(pa, "Stampariepilogopermovimento1", "Stampa riepilogo per movimento");
    voce(MenuEsporta, "PopEsportaRiepilogoMensile", "Esporta Riepilogo Mensile");
    QMenu* es = sottomenu(MenuEsporta, "PopEsportaSituazioneAl", "Esporta Situazione al...");
    voce(es, "Situazioneaoggi2", "Situazione a oggi");
    voce(es, "Situazioneafineanno2", "Situazione a fine anno");
    voce(es, "Situazionealladata1", "Situazione alla data");
    QMenu* ea = sottomenu(MenuEsporta, "PopEsportaRiepilogoAnnuale", "Esporta Riepilogo Annuale");
    voce(ea, "PopEsportaRiepilogoTipologia", "Esporta riepilogo per tipologia");
    voce(ea, "PopEsportaRiepilogopMovimento", "Esporta riepilogo per movimento");

    auto* centro = new QWidget(m_corpo);
    auto* vcentro = new QVBoxLayout(centro);
    vcentro->setContentsMargins(4, 2, 4, 4);
    vcentro->setSpacing(4);
    m_corpo->setCentralWidget(centro);

    TabMesi = new QTabBar(centro);
    TabMesi->setObjectName(S("TabMesi"));
    TabMesi->setExpanding(false);
    TabMesi->setDrawBase(false);
    for (const char* m :
        { "Gen", "Feb", "Mar", "Apr", "Mag", "Giu", "Lug", "Ago", "Set", "Ott", "Nov", "Dic" })
        TabMesi->addTab(S(m));
    connect(TabMesi, &QTabBar::currentChanged, this, [this] { comando([this] { TabMesiChange(); }); });
    vcentro->addWidget(TabMesi);

    // The tab area: the two side panels, 3 pixels apart, inside an 8-pixel frame each side.
    m_areaMesi = new QFrame(centro);
    m_areaMesi->setObjectName(S("AreaMesi"));
    static_cast<QFrame*>(m_areaMesi)->setFrameShape(QFrame::StyledPanel);
    auto* hpannelli = new QHBoxLayout(m_areaMesi);
    hpannelli->setContentsMargins(8, 6, 8, 6);
    hpannelli->setSpacing(3);
    QWidget* pe = costruisciPannello(*m_entrate, S("Entrate"), colori::kVerdeEntrate, colori::kSfondoEntrate,
        S("Importa i movimenti di entrata da un file CSV"));
    pe->setObjectName(S("PannelloEntrate"));
    QWidget* pu = costruisciPannello(*m_uscite, S("Uscite"), colori::kRossoUscite, colori::kSfondoUscite,
        S("Importa i movimenti di uscita da un file CSV"));
    pu->setObjectName(S("PannelloUscite"));
    hpannelli->addWidget(pe);
    hpannelli->addWidget(pu);
    vcentro->addWidget(m_areaMesi, 1);
    m_areaMesi->installEventFilter(this);

    vcentro->addWidget(costruisciTotali());

    connect(
        m_entrate->aggiungi, &QPushButton::clicked, this, &TFormDettagliCategoria::BtnAggiungiEntrataClick);
    connect(
        m_entrate->aggiorna, &QPushButton::clicked, this, &TFormDettagliCategoria::BtnAggiornaEntrataClick);
    connect(m_entrate->elimina, &QPushButton::clicked, this, &TFormDettagliCategoria::BtnEliminaEntrataClick);
    connect(m_uscite->aggiungi, &QPushButton::clicked, this, &TFormDettagliCategoria::BtnAggiungiUscitaClick);
    connect(m_uscite->aggiorna, &QPushButton::clicked, this, &TFormDettagliCategoria::BtnAggiornaUscitaClick);
    connect(m_uscite->elimina, &QPushButton::clicked, this, &TFormDettagliCategoria::BtnEliminaUscitaClick);
    connect(m_entrate->importa, &QToolButton::clicked, this, &TFormDettagliCategoria::BtnImportaEntrateClick);
    connect(m_uscite->importa, &QToolButton::clicked, this, &TFormDettagliCategoria::BtnImportaUsciteClick);
}

QWidget* TFormDettagliCategoria::costruisciPannello(Lato& l, const QString& titolo, const QColor& colore,
    const QColor& sfondo, const QString& suggerimentoImporta)
{
    auto* pannello = new QWidget(m_areaMesi);
    auto* v = new QVBoxLayout(pannello);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);

    l.titolo = new FlatPanel(pannello);
    l.titolo->setObjectName(S("PnlTitolo") + l.plurale);
    l.titolo->setColor(colore);
    l.titolo->setText(titolo);
    l.titolo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont f = l.titolo->font();
    f.setBold(true);
    l.titolo->setFont(f);
    QPalette pt = l.titolo->palette();
    pt.setColor(QPalette::WindowText, Qt::white);
    l.titolo->setPalette(pt);
    l.titolo->setFixedHeight(22);
    auto* ht = new QHBoxLayout(l.titolo);
    ht->setContentsMargins(0, 1, 2, 1);
    ht->addStretch(1);
    l.importa = new QToolButton(l.titolo);
    l.importa->setObjectName(S("BtnImporta") + l.plurale);
    l.importa->setToolTip(suggerimentoImporta);
    l.importa->setAutoRaise(true);
    l.importa->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    l.importa->setIconSize(QSize(14, 14));
    l.importa->setFixedSize(20, 20);
    ht->addWidget(l.importa);
    v->addWidget(l.titolo);

    l.griglia = new QTableView(pannello);
    l.griglia->setObjectName(S("Griglia") + l.plurale);
    l.griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l.griglia->setSelectionBehavior(QAbstractItemView::SelectRows);
    l.griglia->setSelectionMode(QAbstractItemView::SingleSelection);
    l.griglia->verticalHeader()->hide();
    l.griglia->verticalHeader()->setDefaultSectionSize(l.griglia->fontMetrics().height() + 6);
    l.griglia->setWordWrap(false);
    l.griglia->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pg = l.griglia->palette();
    pg.setColor(QPalette::Base, sfondo);
    // The selection stays visible when the grid loses the focus.
    pg.setColor(QPalette::Inactive, QPalette::Highlight, pg.color(QPalette::Active, QPalette::Highlight));
    pg.setColor(
        QPalette::Inactive, QPalette::HighlightedText, pg.color(QPalette::Active, QPalette::HighlightedText));
    l.griglia->setPalette(pg);
    l.modello = new GrigliaModello(l.tabella, l.griglia);
    l.griglia->setModel(l.modello);
    l.disegno = new GrigliaDelegate(
        m_elenco,
        [&l](const QModelIndex& i) {
            const int c
                = l.tabella->FindField(S("Tipologia")) ? l.tabella->FieldByName(S("Tipologia")).Index() : -1;
            return c < 0 ? QString() : l.tabella->VisibleValue(i.row(), c).text();
        },
        l.griglia);
    l.disegno->setValoreSaldo([&l](const QModelIndex& i) {
        const Field* saldo = l.tabella->FindField(S("Saldo"));
        return saldo ? l.tabella->VisibleValue(i.row(), saldo->Index()).number() : 0.0;
    });
    l.griglia->setItemDelegate(l.disegno);
    l.griglia->viewport()->installEventFilter(this);
    l.griglia->installEventFilter(this);
    connect(l.griglia, &QTableView::clicked, this, [this, &l](const QModelIndex& i) {
        comando([&] {
            grigliaCorrente(l, i.row());
            AggiornaCampi(l.parola);
        });
    });
    connect(l.griglia->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, &l] {
        if (!l.sincronizzando)
            comando([&] { AggiornaCampi(l.parola); });
    });
    connect(l.modello, &QAbstractItemModel::modelReset, this, [this, &l] { ridimensionaColonne(l); });
    // The grid's selection follows the table's current row.
    auto segui = [&l] {
        const int r = l.modello->currentRow();
        l.sincronizzando = true;
        if (r >= 0 && r < l.modello->rowCount())
            l.griglia->selectRow(r);
        else
            l.griglia->clearSelection();
        l.sincronizzando = false;
    };
    connect(l.modello, &RecordTableModel::currentRowChanged, this, segui);
    connect(l.modello, &QAbstractItemModel::modelReset, this, segui);
    v->addWidget(l.griglia, 1);

    l.dettaglio = new QWidget(pannello);
    l.dettaglio->setObjectName(S("PnlDettaglio") + l.plurale);
    l.dettaglio->setFixedHeight(178);
    l.dettaglio->installEventFilter(this);
    const char* nomi[] = { "Data", "Importo", "Tipo", "Commento" };
    for (int i = 0; i < 4; ++i) {
        l.etichette[i] = new QLabel(S(nomi[i]), l.dettaglio);
        // The labels share 43 pixels left of the fields: a smaller type keeps "Importo" whole.
        QFont f = l.etichette[i]->font();
        while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(S("Importo")) > 42)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        l.etichette[i]->setFont(f);
        l.etichette[i]->setObjectName(S("Lbl") + S(nomi[i]) + l.parola);
    }
    l.data = new QDateEdit(l.dettaglio);
    l.data->setObjectName(S("EditS_Data") + l.parola);
    l.data->setCalendarPopup(true);
    l.data->setDisplayFormat(SystemFormats::shortDateFormat());
    l.movimento = new ImportoEdit(l.dettaglio);
    l.movimento->setObjectName(S("EditS_Movimento") + l.parola);
    l.tipologia = new TipologiaCombo(l.dettaglio);
    l.tipologia->setObjectName(S("EditS_Tipologia") + l.parola);
    l.commento = new QPlainTextEdit(l.dettaglio);
    l.commento->setObjectName(S("EditS_Commento") + l.parola);
    l.commento->setTabChangesFocus(true);
    l.aggiungi = new QPushButton(S("Aggiungi"), l.dettaglio);
    l.aggiungi->setObjectName(S("BtnAggiungi") + l.parola);
    l.aggiorna = new QPushButton(S("Aggiorna"), l.dettaglio);
    l.aggiorna->setObjectName(S("BtnAggiorna") + l.parola);
    l.elimina = new QPushButton(S("  Elimina"), l.dettaglio);
    l.elimina->setObjectName(S("BtnElimina") + l.parola);
    for (QPushButton* b : { l.aggiungi, l.aggiorna, l.elimina })
        b->setAutoDefault(false);
    v->addWidget(l.dettaglio);
    return pannello;
}

QWidget* TFormDettagliCategoria::costruisciTotali()
{
    auto* barra = new QWidget(this);
    barra->setObjectName(S("BarraTotali"));
    auto* h = new QHBoxLayout(barra);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    auto casella = [&](const char* nome, const char* suggerimento, const QColor& colore) {
        auto* p = new FlatPanel(barra);
        p->setObjectName(S("Pnl") + S(nome).mid(3));
        p->setColor(colore);
        p->setToolTip(S(suggerimento));
        p->setFixedHeight(26);
        auto* lay = new QHBoxLayout(p);
        lay->setContentsMargins(2, 2, 2, 2);
        auto* etichetta = new QLabel(S("0,00"), p);
        etichetta->setObjectName(S(nome));
        etichetta->setAlignment(Qt::AlignCenter);
        etichetta->setToolTip(S(suggerimento));
        QFont f = etichetta->font();
        f.setBold(true);
        etichetta->setFont(f);
        QPalette pl = etichetta->palette();
        pl.setColor(QPalette::WindowText, Qt::white);
        etichetta->setPalette(pl);
        lay->addWidget(etichetta);
        h->addWidget(p, 1);
        return etichetta;
    };
    auto segno = [&](const char* nome, const char* testo) {
        auto* s = new QLabel(S(testo), barra);
        s->setObjectName(S(nome));
        QFont f = s->font();
        f.setBold(true);
        f.setPointSize(f.pointSize() + 2);
        s->setFont(f);
        s->setAlignment(Qt::AlignCenter);
        s->setFixedWidth(14);
        s->setProperty("immagine", S(nome));
        m_segni.append(s);
        h->addWidget(s);
    };
    LblTotIniziale = casella("LblTotIniziale", "Saldo inizio mese", colori::kArancioSaldoIniziale);
    segno("SegnoPiu", "+");
    LblTotEntrate = casella("LblTotEntrate", "Entrate mese", colori::kVerdeEntrate);
    segno("SegnoMeno", "\xe2\x88\x92");
    LblTotUscite = casella("LblTotUscite", "Uscite mese", colori::kRossoUscite);
    segno("SegnoUguale", "=");
    LblTotMovimenti = casella("LblTotMovimenti", "Saldo fine mese", colori::kBluSaldoFinale);
    return barra;
}

// ---- events ---------------------------------------------------------------------------------

void TFormDettagliCategoria::FormCreate()
{
    const std::pair<QAbstractButton*, const char*> pulsanti[] = {
        { BtnStampa, "BtnStampaDoc" },
        { BtnEsporta, "BtnXlsDoc" },
        { BtnDisabilitaMese, "BtnRangeDate" },
        { BtnMostraTipologie, "BtnTags" },
        { m_entrate->importa, "BtnImportCsv" },
        { m_uscite->importa, "BtnImportCsv" },
        { m_entrate->aggiungi, "BtnAggiungi" },
        { m_entrate->aggiorna, "BtnAggiorna" },
        { m_entrate->elimina, "BtnElimina" },
        { m_uscite->aggiungi, "BtnAggiungi" },
        { m_uscite->aggiorna, "BtnAggiorna" },
        { m_uscite->elimina, "BtnElimina" },
    };
    for (const auto& [pulsante, immagine] : pulsanti) {
        const QIcon riserva = pulsante->icon();
        try {
            SkinButton(pulsante, S(immagine));
        } catch (const std::exception&) {
            // An unreadable picture leaves the button as it was.
        }
        if (pulsante->icon().isNull())
            pulsante->setIcon(riserva);
    }
    for (QLabel* segno : m_segni) {
        const QImage img = LoadPngPicture(segno->property("immagine").toString());
        if (!img.isNull()) {
            segno->setPixmap(QPixmap::fromImage(img));
            segno->setFixedWidth(img.width() + 2);
        }
    }
}

void TFormDettagliCategoria::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_mostrata) {
        m_mostrata = true;
        comando([this] { FormShow(); });
    }
}

void TFormDettagliCategoria::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool TFormDettagliCategoria::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_areaMesi)
            FormResize();
        else if (watched == m_entrate->dettaglio)
            PnlDettaglioEntrateResize();
        else if (watched == m_uscite->dettaglio)
            PnlDettaglioUsciteResize();
        else if (watched == m_entrate->griglia)
            ridimensionaColonne(*m_entrate);
        else if (watched == m_uscite->griglia)
            ridimensionaColonne(*m_uscite);
    } else if (event->type() == QEvent::KeyRelease) {
        for (Lato* l : { m_entrate.get(), m_uscite.get() }) {
            if (watched == l->griglia) {
                comando([&] {
                    const QModelIndex i = l->griglia->currentIndex();
                    if (i.isValid())
                        grigliaCorrente(*l, i.row());
                    AggiornaCampi(l->parola);
                });
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormDettagliCategoria::comando(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        MostraErrore(QString::fromUtf8(e.what()));
    }
}

void TFormDettagliCategoria::costruisciElencoTipologie()
{
    m_elenco.clear();
    RecordTable& t = m_ledger.dc().Tipologie;
    const Field* nome = t.FindField(S("Tipologia"));
    const Field* colore = t.FindField(S("Colore"));
    if (nome) {
        for (t.First(); !t.Eof(); t.Next()) {
            std::optional<int> c;
            if (colore && !colore->IsNull())
                c = static_cast<int>(colore->AsInteger());
            m_elenco.append(nome->AsString(), c);
        }
        t.First();
    }
    m_entrate->tipologia->setElenco(&m_elenco);
    m_uscite->tipologia->setElenco(&m_elenco);
}

void TFormDettagliCategoria::FormShow()
{
    m_larghezzaTipologie
        = SettingsReady() ? GetSettings().ReadInteger(S("Interfaccia"), S("LarghezzaTipologie"), 64) : 64;
    m_entrate->disegno->setLarghezzaTipologie(m_larghezzaTipologie);
    m_uscite->disegno->setLarghezzaTipologie(m_larghezzaTipologie);
    costruisciElencoTipologie();
    RicaricaCategoria();
}

void TFormDettagliCategoria::RicaricaCategoria()
{
    setWindowTitle(S("Dettagli categoria - ") + m_ledger.NomeCategoria);
    m_ledger.RicaricaMovimenti();
    TabMesiChange();
}

void TFormDettagliCategoria::mostraTotali()
{
    const TotaliMese& t = m_ledger.Totali();
    LblTotIniziale->setText(FormatImporto(t.saldoIniziale));
    LblTotEntrate->setText(FormatImporto(t.entrate));
    LblTotUscite->setText(FormatImporto(t.uscite));
    LblTotMovimenti->setText(FormatImporto(t.saldoFinale));
}

void TFormDettagliCategoria::TabMesiChange()
{
    const int mese = TabMesi->currentIndex() + 1;
    m_ledger.CambiaMese(mese);
    mostraTotali();

    const int anno = m_ledger.Anno;
    const bool annoIntero = BtnDisabilitaMese->isChecked();
    const QDate dal = annoIntero ? QDate(anno, 1, 1) : dt::firstDayOfMonth(anno, mese);
    const QDate al = annoIntero ? QDate(anno, 12, 31) : dt::lastDayOfMonth(anno, mese);
    m_ledger.SelezionaMese(mese);

    // Widen first (a year outside 2000..2999 widens to cover itself), refresh, then narrow;
    // maximum before minimum each time.
    const QDate minimo = std::min(QDate(2000, 1, 1), QDate(anno, 1, 1));
    const QDate massimo = std::max(QDate(2999, 12, 31), QDate(anno, 12, 31));
    for (Lato* l : { m_entrate.get(), m_uscite.get() }) {
        l->data->setMaximumDate(massimo);
        l->data->setMinimumDate(minimo);
    }
    AggiornaCampi(m_entrate->parola);
    AggiornaCampi(m_uscite->parola);
    for (Lato* l : { m_entrate.get(), m_uscite.get() }) {
        l->data->setMaximumDate(al);
        l->data->setMinimumDate(dal);
        l->griglia->viewport()->update();
    }
}

void TFormDettagliCategoria::AggiornaCampi(const QString& nomeLato)
{
    Lato& l = lato(nomeLato);
    RecordTable& t = *l.tabella;
    if (t.IsEmpty() || t.RecNo() < 0) {
        l.data->setDate(dt::firstDayOfMonth(m_ledger.Anno, std::max(1, m_ledger.MeseSelezionato())));
        l.commento->setPlainText(QString());
        l.movimento->setValue(0);
        l.tipologia->setTipologia(QString());
        return;
    }
    l.data->setDate(dt::toDate(t.FieldByName(S("Data")).AsDateTime()));
    l.commento->setPlainText(t.FieldByName(S("Commento")).AsString());
    l.movimento->setValue(t.FieldByName(S("Movimento")).AsFloat());
    l.tipologia->setTipologia(t.FieldByName(S("Tipologia")).AsString());
}

void TFormDettagliCategoria::grigliaCorrente(Lato& l, int riga)
{
    if (riga >= 0 && riga != l.tabella->RecNo())
        l.modello->setCurrentRow(riga);
}

// ---- commands -------------------------------------------------------------------------------

void TFormDettagliCategoria::memorizza(Lato& l, ModoMemorizza modo)
{
    comando([&] {
        bool ok = false;
        TMovimento m;
        m.Tipologia = l.tipologia->tipologia();
        m.Commento = l.commento->toPlainText();
        m.Movimento = l.movimento->value(&ok);
        if (!ok)
            m.Movimento = std::nan("");
        m.Data = l.data->date().isValid() ? dt::fromDate(l.data->date()) : 0;
        if (!m_ledger.MemorizzaMovimento(m, *l.tabella, modo))
            ShowError(S(kMsgFormatoMovimento));
        m_ledger.SalvaMovimenti(*l.tabella, l.suffisso);
        m_ledger.AggiornaMese();
        mostraTotali();
        AggiornaCampi(l.parola);
    });
}

void TFormDettagliCategoria::elimina(Lato& l)
{
    comando([&] {
        if (l.tabella->IsEmpty()) {
            ShowInfo(S(kMsgNienteDaEliminare));
            return;
        }
        if (AskConfirm(S("Eliminare il movimento selezionato?")) != IDYES)
            return;
        l.tabella->Delete();
        m_ledger.SalvaMovimenti(*l.tabella, l.suffisso);
        AggiornaCampi(l.parola);
        m_ledger.AggiornaMese();
        mostraTotali();
        AggiornaCampi(l.parola);
    });
}

void TFormDettagliCategoria::importa(Lato& l)
{
    comando([&] {
        const QString file = DialogProvider::instance().openFileName(this, ImportaFile);
        if (file.isEmpty())
            return;
        const QString parola = l.suffisso == S("IN") ? S("Entrate") : S("Uscite");
        if (AskConfirm(
                S("Importare i movimenti del file '") + file + S("' nella tabella delle ") + parola + S("?"))
            != IDYES)
            return;
        RecordTable& t = *l.tabella;
        int conteggio = 0;
        try {
            ImportCSV motore;
            conteggio
                = motore.Import(t, SottocartellaProgramma(S("Interfacce")) + S("Movimenti.hdr"), file, false);
        } catch (const std::exception& e) {
            // The engine may have emptied the side already: the stored movements come back from
            // the file and nothing is saved.
            const QString motivo = QString::fromUtf8(e.what());
            m_ledger.CaricaMovimenti(t, l.suffisso);
            TabMesiChange();
            ShowError(motivo);
            return;
        }
        try {
            conteggio = FiltraAnno(t, m_ledger.Anno, conteggio);
            ShowInfo(S("Importazione conclusa. Importati ") + QString::number(conteggio) + S(" movimenti."));
            m_ledger.SalvaMovimenti(t, l.suffisso);
            TabMesiChange();
        } catch (...) {
            if (t.State() == TableState::Edit || t.State() == TableState::Insert)
                t.Cancel();
            while (t.ControlsDisabled())
                t.EnableControls();
            throw;
        }
    });
}

void TFormDettagliCategoria::BtnAggiungiEntrataClick()
{
    memorizza(*m_entrate, ModoMemorizza::Aggiungi);
}
void TFormDettagliCategoria::BtnAggiornaEntrataClick()
{
    memorizza(*m_entrate, ModoMemorizza::Aggiorna);
}
void TFormDettagliCategoria::BtnEliminaEntrataClick()
{
    elimina(*m_entrate);
}
void TFormDettagliCategoria::BtnAggiungiUscitaClick()
{
    memorizza(*m_uscite, ModoMemorizza::Aggiungi);
}
void TFormDettagliCategoria::BtnAggiornaUscitaClick()
{
    memorizza(*m_uscite, ModoMemorizza::Aggiorna);
}
void TFormDettagliCategoria::BtnEliminaUscitaClick()
{
    elimina(*m_uscite);
}
void TFormDettagliCategoria::BtnImportaEntrateClick()
{
    importa(*m_entrate);
}
void TFormDettagliCategoria::BtnImportaUsciteClick()
{
    importa(*m_uscite);
}

void TFormDettagliCategoria::BtnDisabilitaMeseClick()
{
    comando([this] {
        if (m_ledger.dc().Tipologie.TotalRowCount() == 0)
            ShowInfo(S(kMsgNessunaTipologia));
        const bool mostra = BtnMostraTipologie->isChecked();
        m_entrate->disegno->setMostraTipologie(mostra);
        m_uscite->disegno->setMostraTipologie(mostra);
        TabMesiChange();
    });
}

void TFormDettagliCategoria::BtnStampaClick()
{
    MenuStampa->popup(BtnStampa->mapToGlobal(BtnStampa->rect().bottomLeft()));
}

void TFormDettagliCategoria::BtnEsportaClick()
{
    MenuEsporta->popup(BtnEsporta->mapToGlobal(BtnEsporta->rect().bottomLeft()));
}

// ---- sizes ----------------------------------------------------------------------------------

void TFormDettagliCategoria::FormResize()
{
    if (!m_areaMesi)
        return;
    const int larghezza = m_areaMesi->width();
    const int entrate = MisureLedger::larghezzaEntrate(larghezza);
    QWidget* pe = m_entrate->griglia->parentWidget();
    pe->setFixedWidth(std::max(0, entrate));
    ridimensionaColonne(*m_entrate);
    ridimensionaColonne(*m_uscite);
}

void TFormDettagliCategoria::PnlDettaglioEntrateResize()
{
    ridimensionaDettaglio(*m_entrate);
}
void TFormDettagliCategoria::PnlDettaglioUsciteResize()
{
    ridimensionaDettaglio(*m_uscite);
}

void TFormDettagliCategoria::ridimensionaDettaglio(Lato& l)
{
    const int w = l.dettaglio->width();
    const int campo = std::max(0, w - 49);
    const int altezza = 22;
    int y = 2;
    for (int i = 0; i < 3; ++i) {
        l.etichette[i]->setGeometry(3, y, 42, altezza);
        y += altezza + 2;
    }
    l.data->setGeometry(46, 2, campo, altezza);
    l.movimento->setGeometry(46, 26, campo, altezza);
    l.tipologia->setGeometry(46, 50, campo, altezza);
    l.etichette[3]->setGeometry(3, 74, 80, 16);
    l.commento->setGeometry(3, 90, std::max(0, w - 6), 54);
    const int bw = std::max(60, (w - 6 - 8) / 3);
    l.aggiungi->setGeometry(3, 148, bw, 26);
    l.aggiorna->setGeometry(3 + bw + 4, 148, bw, 26);
    l.elimina->setGeometry(3 + 2 * (bw + 4), 148, bw, 26);
}

void TFormDettagliCategoria::ridimensionaColonne(Lato& l)
{
    if (!l.modello)
        return;
    QHeaderView* h = l.griglia->horizontalHeader();
    const int colonne = l.modello->columnCount();
    const int data = l.modello->columnOfField(S("Data"));
    const int commento = l.modello->columnOfField(S("Commento"));
    const int movimento = l.modello->columnOfField(S("Movimento"));
    const int saldo = l.modello->columnOfField(S("Saldo"));
    for (int c = 0; c < colonne; ++c)
        l.griglia->setColumnHidden(c, c != data && c != commento && c != movimento && c != saldo);
    // The grid shows Data, Commento, Movimento (as "Importo") and Saldo in this order.
    const int ordine[] = { data, commento, movimento, saldo };
    int pos = 0;
    for (int c : ordine) {
        if (c < 0)
            continue;
        l.griglia->setColumnHidden(c, false);
        const int visuale = h->visualIndex(c);
        if (visuale != pos)
            h->moveSection(visuale, pos);
        ++pos;
    }
    l.disegno->setColonne({ commento, saldo });
    const int wData = larghezzaData(l.griglia);
    const int wImporto = larghezzaImporto(l.griglia);
    if (data >= 0)
        l.griglia->setColumnWidth(data, wData);
    if (movimento >= 0)
        l.griglia->setColumnWidth(movimento, wImporto);
    if (saldo >= 0)
        l.griglia->setColumnWidth(saldo, wImporto);
    if (commento >= 0) {
        const int barra = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, l.griglia);
        l.griglia->setColumnWidth(commento,
            std::max(40, MisureLedger::larghezzaCommento(l.griglia->width(), wData + 2 * wImporto, barra)));
    }
}

}
