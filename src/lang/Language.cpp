#include "lang/Language.h"

#include "base/AppInfo.h"
#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "platform/Folders.h"
#include "support/MessageBoxes.h"
#include "support/Widgets.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

namespace contivo {

namespace {

std::optional<LanguageTable> messages;
QString currentLanguage;

const QChar kSection(kLanguageLineBreak);

void showLanguageFileNotFound()
{
    ShowMessageBox(QStringLiteral("Language file not found.\nUsing default language."),
        QStringLiteral("Error!"), MB_OK | MB_ICONERROR);
}

QTabWidget* tabWidgetOfPage(const QObject* object)
{
    const auto* page = qobject_cast<const QWidget*>(object);
    if (!page || !qobject_cast<const QStackedWidget*>(page->parentWidget()))
        return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
    return tabs && tabs->indexOf(const_cast<QWidget*>(page)) >= 0 ? tabs : nullptr;
}

template <typename T> bool is(const QObject* object)
{
    return qobject_cast<const T*>(object) != nullptr;
}

/// Which Qt classes stand for which kinds of the window designs, first match wins:
///  Action   - menu items and speed items (QAction)
///  Label    - labels (QLabel): a caption's "§" becomes a line break
///  HintBox  - hint boxes and secret panels (HintBox): Lines
///  Button   - bitmap, speed, PNG, flat buttons and check boxes (QAbstractButton)
///  GroupBox - group boxes (QGroupBox title)
///  Panel    - panels, flat panels, title bars (FlatPanel)
///  Menu     - a menu item that opens a sub-menu (QMenu title)
///  ComboBox - combo boxes (QComboBox): Items
///  Edit     - one-line edits and their descendants (QLineEdit): the text from Caption
///  ListView - list views in report mode (QTreeView, QTableView and QTableWidget): column titles
///  TabPage  - a page of a QTabWidget: tab text and tab tool tip
struct KindRow {
    TranslatedKind kind;
    bool (*matches)(const QObject*);
};
const KindRow kKindTable[] = {
    { TranslatedKind::Action, is<QAction> },
    { TranslatedKind::Label, is<QLabel> },
    { TranslatedKind::HintBox, is<HintBox> },
    { TranslatedKind::Button, is<QAbstractButton> },
    { TranslatedKind::GroupBox, is<QGroupBox> },
    { TranslatedKind::Panel, is<FlatPanel> },
    { TranslatedKind::Menu, is<QMenu> },
    { TranslatedKind::ComboBox, is<QComboBox> },
    { TranslatedKind::Edit, is<QLineEdit> },
    { TranslatedKind::ListView, [](const QObject* o) { return is<QTreeView>(o) || is<QTableView>(o); } },
    { TranslatedKind::TabPage, [](const QObject* o) { return tabWidgetOfPage(o) != nullptr; } },
};

void setCaption(QObject* object, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(object))
        action->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(object))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(object))
        group->setTitle(text);
    else if (auto* panel = qobject_cast<FlatPanel*>(object))
        panel->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(object))
        menu->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(object))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(object))
        edit->setText(text);
    else if (QTabWidget* tabs = tabWidgetOfPage(object))
        tabs->setTabText(tabs->indexOf(static_cast<QWidget*>(object)), text);
}

void setHint(QObject* object, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(object))
        action->setToolTip(text);
    else if (QTabWidget* tabs = tabWidgetOfPage(object))
        tabs->setTabToolTip(tabs->indexOf(static_cast<QWidget*>(object)), text);
    else if (auto* widget = qobject_cast<QWidget*>(object))
        widget->setToolTip(text);
}

class ComponentTranslator {
public:
    ComponentTranslator(const LanguageTable& table, const QString& formName)
        : m_table(table)
        , m_form(formName)
    {
    }

    /// The text of <form>.<component>.<property>, empty when absent.
    QString text(const QString& component, const char* property) const
    {
        return m_table.value(
            m_form + QLatin1Char('.') + component + QLatin1Char('.') + QLatin1String(property));
    }

    void caption(QObject* object, const QString& name) const
    {
        if (const QString t = text(name, "Caption"); !t.isEmpty())
            setCaption(object, t);
    }
    void hint(QObject* object, const QString& name) const
    {
        if (const QString t = text(name, "Hint"); !t.isEmpty())
            setHint(object, t);
    }

    void translate(QObject* object, TranslatedKind kind) const
    {
        const QString name = object->objectName();
        switch (kind) {
        case TranslatedKind::Label:
            hint(object, name);
            if (const QString t = text(name, "Caption"); !t.isEmpty())
                static_cast<QLabel*>(object)->setText(QString(t).replace(kSection, QLatin1Char('\n')));
            break;
        case TranslatedKind::HintBox:
            hint(object, name);
            if (const QString t = text(name, "Lines"); !t.isEmpty())
                static_cast<HintBox*>(object)->setLines(SplitLanguageLines(t, true));
            break;
        case TranslatedKind::ComboBox:
            hint(object, name);
            if (const QString t = text(name, "Items"); !t.isEmpty()) {
                auto* combo = static_cast<QComboBox*>(object);
                combo->clear();
                combo->addItems(SplitLanguageLines(t, false));
            }
            break;
        case TranslatedKind::ListView: {
            QAbstractItemModel* model = static_cast<QAbstractItemView*>(object)->model();
            if (!model)
                break;
            for (int column = 0; column < model->columnCount(); ++column)
                if (const QString t
                    = text(name + QStringLiteral(".Col_") + QString::number(column), "Caption");
                    !t.isEmpty())
                    model->setHeaderData(column, Qt::Horizontal, t);
            break;
        }
        default: // captions (or an edit's text), then hints
            caption(object, name);
            hint(object, name);
            break;
        }
    }

private:
    const LanguageTable& m_table;
    QString m_form;
};

}

LanguageTable::LanguageTable(const QStringList& lines)
{
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).toLower();
        if (!m_values.contains(key))
            m_values.insert(key, line.mid(eq + 1));
    }
}

QString LanguageTable::value(const QString& key) const
{
    return m_values.value(key.toLower());
}

QStringList ReadLanguageFile(const QString& path)
{
    return ParseLanguageLines(readWholeFile(path));
}

QStringList ParseLanguageLines(const QByteArray& bytes)
{
    const QString text = cp1252::decode(bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
            lines << text.mid(start, i - start);
            if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QStringList SplitLanguageLines(const QString& text, bool trimLast)
{
    QStringList pieces = text.split(kSection);
    QString last = pieces.takeLast();
    if (trimLast)
        last = last.trimmed();
    if (!last.isEmpty())
        pieces << last;
    return pieces;
}

QString LanguageFolder()
{
    return SottocartellaProgramma(QStringLiteral("Langs"));
}

void TranslateForm(QWidget* form, const QString& language)
{
    currentLanguage = language;
    const QString path = LanguageFolder() + language + QStringLiteral(".lng");
    LoadLanguageMessages(path);
    TranslateComponents(form, path);
}

void LoadLanguageMessages(const QString& path)
{
    messages.emplace();
    QString file = path;
    if (!QFileInfo::exists(file)) {
        file = LanguageFolder() + QStringLiteral("English.lng");
        if (!QFileInfo::exists(file)) {
            showLanguageFileNotFound();
            return;
        }
    }
    QStringList lines;
    for (const QString& line : ReadLanguageFile(file))
        if (line.startsWith(QLatin1Char('*')))
            lines << line.mid(1);
    messages.emplace(lines);
}

bool TranslateComponents(QWidget* form, const QString& path)
{
    if (!QFileInfo::exists(path)) {
        showLanguageFileNotFound();
        return false;
    }
    const LanguageTable table(ReadLanguageFile(path));
    if (!form)
        return true;
    const ComponentTranslator translator(table, form->objectName());
    if (const QString t = translator.text(form->objectName(), "Caption"); !t.isEmpty())
        form->setWindowTitle(t);
    translator.hint(form, form->objectName());
    // Translating a component may rebuild its children (a hint box recreates its lines), so the
    // walk holds guarded pointers and skips what an earlier step destroyed.
    QList<QPointer<QObject>> components;
    for (QObject* component : form->findChildren<QObject*>())
        components.append(component);
    for (QObject* component : components) {
        if (!component || component->objectName().isEmpty())
            continue;
        if (const auto kind = TranslatedKindOf(component))
            translator.translate(component, *kind);
    }
    return true;
}

QString GetLanguageText(const QString& key, const QString& defaultText)
{
    if (messages) {
        if (QString text = messages->value(key); !text.isEmpty())
            return text;
    }
    return defaultText;
}

QStringList GetLanguageList()
{
    QStringList names;
    for (const QString& file : ElencaFile(LanguageFolder() + QStringLiteral("*.lng"), false, false))
        names << NomeSenzaEstensione(file);
    return names;
}

QString CurrentLanguage()
{
    return currentLanguage;
}

void ResetLanguage()
{
    messages.reset();
    currentLanguage.clear();
}

std::optional<TranslatedKind> TranslatedKindOf(const QObject* component)
{
    for (const KindRow& row : kKindTable)
        if (row.matches(component))
            return row.kind;
    return std::nullopt;
}

int ShowErrorKey(const QString& key, const QString& defaultText, const QStringList& args)
{
    const QString titleWord = GetLanguageText(QStringLiteral("Message.Error"), QStringLiteral("Errore"));
    const QString combined = GetLanguageText(key, titleWord + kSection + defaultText);
    const qsizetype cut = combined.indexOf(kSection);
    const QString titlePart = cut < 0 ? QString() : combined.left(cut);
    const QString message = FormatMessageArgs(cut < 0 ? combined : combined.mid(cut + 1), args);
    if (titlePart.isEmpty())
        return ShowError(message);
    return ShowMessageBox(
        message, QString::fromUtf8(kAppTitle) + QStringLiteral(" - ") + titlePart, MB_OK | MB_ICONERROR);
}

}
