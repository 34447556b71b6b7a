#include "support/FormHelpers.h"

#include "support/Widgets.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>

namespace contivo {

void FocusControl(QWidget* control)
{
    if (!control)
        return;
    QWidget* child = control;
    for (QWidget* parent = control->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<QStackedWidget*>(parent))
            if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget());
                tabs && tabs->indexOf(child) >= 0)
                tabs->setCurrentWidget(child);
        if (parent->isWindow())
            break;
        child = parent;
    }
    control->setFocus(Qt::OtherFocusReason);
}

void FreeChildControls(QWidget* container, bool freeContainer)
{
    if (!container)
        return;
    const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        FreeChildControls(*it, true);
    if (freeContainer)
        delete container;
}

QWidget* FindChildControl(const QString& name, QWidget* container)
{
    if (!container)
        return nullptr;
    for (QObject* child : container->children())
        if (child->isWidgetType() && child->objectName() == name)
            return static_cast<QWidget*>(child);
    return nullptr;
}

QString GetControlText(const QObject* control)
{
    if (!control)
        return {};
    if (auto* action = qobject_cast<const QAction*>(control))
        return action->text();
    if (auto* menu = qobject_cast<const QMenu*>(control))
        return menu->title();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (auto* panel = qobject_cast<const FlatPanel*>(control))
        return panel->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* spin = qobject_cast<const QAbstractSpinBox*>(control))
        return spin->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(control))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<const QTextEdit*>(control))
        return rich->toPlainText();
    if (auto* widget = qobject_cast<const QWidget*>(control); widget && widget->isWindow())
        return widget->windowTitle();
    return {};
}

QAction* CreateMenuItem(QObject* owner, QMenu* parent, const QString& name, const QString& caption,
    std::function<void()> onClick, int tag, int position)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setData(tag);
    action->setProperty("tag", tag);
    if (onClick)
        QObject::connect(action, &QAction::triggered, action, [onClick = std::move(onClick)] { onClick(); });
    if (parent) {
        const QList<QAction*> existing = parent->actions();
        if (position < 0 || position >= existing.size())
            parent->addAction(action);
        else
            parent->insertAction(existing[position], action);
    }
    return action;
}

namespace {

bool isFieldControl(const QObject* object)
{
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QAbstractSpinBox*>(object)
        || qobject_cast<const QCheckBox*>(object) || qobject_cast<const QAbstractItemView*>(object)
        || qobject_cast<const QPushButton*>(object) || qobject_cast<const QComboBox*>(object);
}

class FieldFocusFilter : public QObject {
public:
    explicit FieldFocusFilter(QObject* parent)
        : QObject(parent)
    {
    }
    std::function<void(QWidget*)> onExit;
    std::function<void(QWidget*)> onEnter;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = static_cast<QWidget*>(watched);
        // Report the field control itself, not the line edit it delegates its focus to.
        if (QWidget* owner = widget->parentWidget(); owner && owner->focusProxy() == widget)
            widget = owner;
        if (event->type() == QEvent::FocusIn && onEnter)
            onEnter(widget);
        else if (event->type() == QEvent::FocusOut && onExit)
            onExit(widget);
        return false;
    }
};

void wireFields(QWidget* widget, FieldFocusFilter* filter)
{
    for (QObject* child : widget->children()) {
        if (!child->isWidgetType())
            continue;
        auto* childWidget = static_cast<QWidget*>(child);
        if (isFieldControl(childWidget)) {
            childWidget->removeEventFilter(filter);
            childWidget->installEventFilter(filter);
            // An editable combo box or a spin box has its own line edit that takes the focus.
            if (QWidget* proxy = childWidget->focusProxy()) {
                proxy->removeEventFilter(filter);
                proxy->installEventFilter(filter);
            }
        } else {
            wireFields(childWidget, filter);
        }
    }
}

}

void WireFieldFocusHandlers(
    QWidget* container, std::function<void(QWidget*)> onExit, std::function<void(QWidget*)> onEnter)
{
    if (!container)
        return;
    FieldFocusFilter* filter = nullptr;
    for (QObject* child : container->children())
        if ((filter = dynamic_cast<FieldFocusFilter*>(child)))
            break;
    if (!filter)
        filter = new FieldFocusFilter(container);
    filter->onExit = std::move(onExit);
    filter->onEnter = std::move(onEnter);
    wireFields(container, filter);
}

}
