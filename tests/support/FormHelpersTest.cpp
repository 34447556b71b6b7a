#include "support/FormHelpers.h"
#include "support/ObjectList.h"
#include "support/TModalForm.h"
#include "support/Widgets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

using namespace contivo;

namespace {

TEST(FocusControl, ActivatesEveryTabPageOnTheWayAndFocuses)
{
    QWidget window;
    auto* outer = new QTabWidget(&window);
    auto* inner = new QTabWidget;
    auto* edit = new QLineEdit;
    auto* innerPage = new QWidget;
    (new QVBoxLayout(innerPage))->addWidget(edit);
    outer->addTab(new QLineEdit, "Primo");
    outer->addTab(inner, "Secondo");
    inner->addTab(new QWidget, "A");
    inner->addTab(innerPage, "B");
    (new QVBoxLayout(&window))->addWidget(outer);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_EQ(outer->currentIndex(), 0);

    FocusControl(edit);
    EXPECT_EQ(outer->currentIndex(), 1);
    EXPECT_EQ(inner->currentIndex(), 1);
    EXPECT_TRUE(edit->hasFocus());
}

TEST(FreeChildControls, FreesLastToFirstDepthFirst)
{
    auto* container = new QWidget;
    QStringList order;
    auto track = [&](QWidget* w, const char* name) {
        w->setObjectName(name);
        QObject::connect(w, &QObject::destroyed, [&order, name] { order << name; });
        return w;
    };
    track(new QWidget(container), "a");
    QWidget* b = track(new QWidget(container), "b");
    track(new QLabel(b), "b1");
    track(new QLabel(b), "b2");
    track(new QPushButton(container), "c");
    QPointer<QWidget> guard(container);

    FreeChildControls(container, false);
    EXPECT_EQ(order, QStringList({ "c", "b2", "b1", "b", "a" }));
    ASSERT_FALSE(guard.isNull());
    EXPECT_TRUE(container->findChildren<QWidget*>().isEmpty());
    FreeChildControls(container, true);
    EXPECT_TRUE(guard.isNull());
}

TEST(FindChildControl, OnlyDirectChildrenWithTheExactName)
{
    QWidget container;
    auto* direct = new QLabel(&container);
    direct->setObjectName("LblTitolo");
    auto* frame = new QWidget(&container);
    auto* nested = new QLabel(frame);
    nested->setObjectName("LblNascosto");
    EXPECT_EQ(FindChildControl("LblTitolo", &container), direct);
    EXPECT_EQ(FindChildControl("lbltitolo", &container), nullptr);
    EXPECT_EQ(FindChildControl("LblNascosto", &container), nullptr);
    EXPECT_EQ(FindChildControl("LblNascosto", frame), nested);
}

TEST(GetControlText, TextByKind)
{
    QWidget window;
    window.setWindowTitle("Finestra");
    auto* combo = new QComboBox(&window);
    combo->addItems({ "uno", "due" });
    combo->setCurrentIndex(1);
    auto* memo = new QPlainTextEdit("riga 1\nriga 2", &window);
    auto* hints = new HintBox(&window);
    hints->setLines({ "a", "b" });
    auto* panel = new FlatPanel(&window);
    panel->setText("Pannello");
    auto* date = new QDateEdit(QDate(2024, 3, 5), &window);
    date->setDisplayFormat("dd/MM/yyyy");
    QMenu menu("Anni");
    QAction action("Esci");
    struct Row {
        const QObject* control;
        const char* expected;
    };
    const Row rows[] = {
        { new QLabel("Etichetta", &window), "Etichetta" },
        { new QPushButton("Bottone", &window), "Bottone" },
        { new QCheckBox("Spunta", &window), "Spunta" },
        { new QGroupBox("Gruppo", &window), "Gruppo" },
        { panel, "Pannello" },
        { combo, "due" },
        { new QLineEdit("testo", &window), "testo" },
        { date, "05/03/2024" },
        { memo, "riga 1\nriga 2" },
        { hints, "a\nb" },
        { &menu, "Anni" },
        { &action, "Esci" },
        { &window, "Finestra" },
        { new QSlider(&window), "" },
        { nullptr, "" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(GetControlText(row.control), QString::fromUtf8(row.expected)) << row.expected;
}

TEST(CreateMenuItem, AppendsOrInsertsWithNameTagAndHandler)
{
    QWidget owner;
    QMenu menu;
    int clicked = 0;
    QAction* first = CreateMenuItem(
        &owner, &menu, "MnuAnno2023", "2023", [&] { clicked = 2023; }, 2023, -1);
    QAction* second = CreateMenuItem(
        &owner, &menu, "MnuAnno2024", "2024", [&] { clicked = 2024; }, 2024, 0);
    QAction* last = CreateMenuItem(&owner, &menu, "MnuAnno2025", "2025", nullptr, 2025, 99);
    EXPECT_EQ(menu.actions(), QList<QAction*>({ second, first, last }));
    EXPECT_EQ(first->parent(), &owner);
    EXPECT_EQ(second->objectName(), "MnuAnno2024");
    EXPECT_EQ(second->text(), "2024");
    EXPECT_EQ(second->property("tag").toInt(), 2024);
    EXPECT_EQ(second->data().toInt(), 2024);
    second->trigger();
    EXPECT_EQ(clicked, 2024);
    last->trigger(); // no handler: nothing happens
    EXPECT_EQ(clicked, 2024);
}

TEST(WireFieldFocusHandlers, ReportsEnterAndExitOfFieldControlsOnly)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit;
    first->setObjectName("EditS_Primo");
    auto* frame = new QGroupBox("Dentro");
    auto* combo = new QComboBox;
    combo->setObjectName("CmbTipo");
    combo->setEditable(true);
    auto* note = new QPlainTextEdit; // a text box is not a field control
    note->setObjectName("MemoNota");
    (new QVBoxLayout(frame))->addWidget(combo);
    layout->addWidget(first);
    layout->addWidget(frame);
    layout->addWidget(note);
    QStringList events;
    WireFieldFocusHandlers(
        &window, [&](QWidget* w) { events << "old:" + w->objectName(); },
        [&](QWidget* w) { events << "old-in:" + w->objectName(); });
    // Wiring again replaces the handlers.
    WireFieldFocusHandlers(
        &window, [&](QWidget* w) { events << "exit:" + w->objectName(); },
        [&](QWidget* w) { events << "enter:" + w->objectName(); });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    note->setFocus();
    events.clear();
    first->setFocus();
    combo->setFocus();
    note->setFocus();
    EXPECT_EQ(
        events, QStringList({ "enter:EditS_Primo", "exit:EditS_Primo", "enter:CmbTipo", "exit:CmbTipo" }));
}

struct Tracked {
    Tracked(QStringList& log, QString name)
        : log(log)
        , name(std::move(name))
    {
    }
    ~Tracked() { log << name; }
    QStringList& log;
    QString name;
};

TEST(ObjectList, CarriedObjectsAreFreedLastToFirst)
{
    QStringList freed;
    auto list = std::make_unique<TStringObjectList<Tracked>>();
    list->add("a", std::make_unique<Tracked>(freed, "a"));
    list->add("b");
    list->add("c", std::make_unique<Tracked>(freed, "c"));
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->strings(), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(list->indexOf("c"), 2);
    EXPECT_EQ(list->object(1), nullptr);
    EXPECT_EQ(list->object(2)->name, "c");
    FreeObjectList(list);
    EXPECT_EQ(freed, QStringList({ "c", "a" }));
    EXPECT_EQ(list, nullptr);
    FreeObjectList(list); // an emptied variable is fine

    {
        TStringObjectList<TOggettoIntero> colours;
        colours.add("Spesa", std::make_unique<TOggettoIntero>(0xFF0000));
        EXPECT_EQ(colours.object(0)->Valore, 0xFF0000);
    }
}

TEST(ModalForm, ComesBackToTheFrontWhenTheApplicationIsActivated)
{
    QWidget owner;
    owner.show();
    TModalForm form(&owner);
    QSignalSpy spy(&form, &TModalForm::broughtToFront);

    emit qApp->applicationStateChanged(Qt::ApplicationActive); // hidden: nothing to do
    form.show();
    form.setEnabled(false);
    emit qApp->applicationStateChanged(Qt::ApplicationActive); // disabled: nothing either
    QTest::qWait(3 * TModalForm::kReactivateDelayMs);
    EXPECT_EQ(spy.count(), 0);

    form.setEnabled(true);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(form.isModal());
}

TEST(ModalForm, MinimisingTakesTheOwnerAlongAndRestoringBringsItBack)
{
    QWidget owner;
    owner.show();
    TModalForm form(&owner);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(owner.windowState() & Qt::WindowMinimized);
    form.setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(owner.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
}

}
