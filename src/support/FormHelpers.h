#pragma once

#include <QString>

#include <functional>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace contivo {

/// Gives the control the focus, first making active every tab page on the way up to its window
/// (so a control on a hidden page of a QTabWidget comes into view).
void FocusControl(QWidget* control);

/// Deletes every child widget of the container, last to first, each after its own children (also
/// last to first); then the container itself when freeContainer is set.
void FreeChildControls(QWidget* container, bool freeContainer);

/// The first direct child widget whose object name equals name exactly (case-sensitive), or null.
QWidget* FindChildControl(const QString& name, QWidget* container);

/// The visible text of a control: an action's or menu's caption; the text of a label, button,
/// group box, panel, combo box, edit or spin/date edit; a window's title; all lines of a hint box
/// or a text box joined by line breaks; empty for anything else.
QString GetControlText(const QObject* control);

/// A new menu action owned by owner, with that object name, caption, tag (the "tag" property and
/// the action's data) and click handler, appended to the parent menu (position below 0 or past the
/// end) or inserted before the action at position.
QAction* CreateMenuItem(QObject* owner, QMenu* parent, const QString& name, const QString& caption,
    std::function<void()> onClick, int tag, int position = -1);

/// Calls onExit when any field control inside the container loses the focus and onEnter when it
/// gains it. Field controls are line edits, spin and date edits, check boxes, item views (grids),
/// push buttons and combo boxes, and their descendants; the parts inside such a control are not
/// wired separately. Calling it again replaces the handlers.
void WireFieldFocusHandlers(
    QWidget* container, std::function<void(QWidget*)> onExit, std::function<void(QWidget*)> onEnter);

}
