#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class QObject;
class QWidget;

/// Language files: one file <language>.lng per language in the folder Langs of the application
/// folder, cp1252 text. A line "<form>.<component>.<property>=<text>" replaces a property of a
/// window's component (Caption, Hint, Lines, Items; list-view columns as <listview>.Col_<n>); a
/// line "*<key>=<text>" is a keyed message. Keys match without regard to case, the first line of a
/// key counts, an empty text counts as absent. The character "§" separates lines inside a text.
namespace contivo {

/// The character that separates lines inside a language text.
inline constexpr char16_t kLanguageLineBreak = u'\u00A7';

/// A looked-up list of "key=text" lines with the language file's rules.
class LanguageTable {
public:
    LanguageTable() = default;
    explicit LanguageTable(const QStringList& lines);
    /// The text of the key, or empty when the key is missing or its first line has an empty text.
    QString value(const QString& key) const;
    bool isEmpty() const { return m_values.isEmpty(); }

private:
    QHash<QString, QString> m_values; // lower-case key -> text of its first line
};

/// The lines of a language file (cp1252; CR LF, LF or CR line ends). Throws std::runtime_error
/// when the file cannot be read.
QStringList ReadLanguageFile(const QString& path);
/// The lines of language-file bytes, as ReadLanguageFile.
QStringList ParseLanguageLines(const QByteArray& bytes);

/// Pieces of a text cut at every "§": each piece before a "§" is an item, empty ones included;
/// the text after the last "§" is an item only when not empty (after trimming when trimLast).
QStringList SplitLanguageLines(const QString& text, bool trimLast);

/// The language folder (application folder + "Langs/"), created when missing.
QString LanguageFolder();

/// Sets the current language, reloads the messages from its file and translates the window.
void TranslateForm(QWidget* form, const QString& language);
/// Replaces the messages list with the "*" lines of the file, or of English.lng when the file is
/// missing; with neither, shows "Language file not found.\nUsing default language." ("Error!") and
/// leaves the list empty.
void LoadLanguageMessages(const QString& path);
/// Translates the window and every named component it owns from the file's component lines;
/// false (after the "Language file not found." box) when the file does not exist.
bool TranslateComponents(QWidget* form, const QString& path);
/// The message text of the key, or the default when there is none (or no language loaded yet).
QString GetLanguageText(const QString& key, const QString& defaultText);
/// The language names: the .lng files of the language folder without extension, in listing order.
QStringList GetLanguageList();
/// The language last given to TranslateForm (empty before the first).
QString CurrentLanguage();
/// Forgets the messages list and the current language, as before the first load (tests).
void ResetLanguage();

/// Keyed error box: the language text of the key (default: the translated title word "Errore",
/// "§" and the default text) is split at its first "§" into a title word and the message, whose
/// {0}, {1}, ... are filled from the arguments. With an empty title word the box is ShowError's;
/// otherwise its title is the application title, " - " and the title word. Returns the button pressed.
int ShowErrorKey(const QString& key, const QString& defaultText, const QStringList& args = {});

/// The Qt class kinds that language files translate, in the order they are tried.
enum class TranslatedKind {
    Action,
    Label,
    HintBox,
    Button,
    GroupBox,
    Panel,
    Menu,
    ComboBox,
    Edit,
    ListView,
    TabPage
};
/// The kind a component is translated as, or none when language files leave it alone.
std::optional<TranslatedKind> TranslatedKindOf(const QObject* component);

}
