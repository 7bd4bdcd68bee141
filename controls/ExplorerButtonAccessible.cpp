#include "controls/ExplorerButtonAccessible.h"

#include "controls/ExplorerButton.h"

TExplorerButtonAccessible::TExplorerButtonAccessible(TExplorerButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

TExplorerButton *TExplorerButtonAccessible::Button() const
{
    return static_cast<TExplorerButton *>(widget());
}

QString TExplorerButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return Button()->AccessibleText();
    return QAccessibleWidget::text(t);
}

QAccessible::State TExplorerButtonAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.disabled = !Button()->Enabled();
    s.focusable = false;
    s.checkable = Button()->GroupIndex() != 0;
    s.checked = Button()->Down();
    s.pressed = Button()->Pressed() && Button()->MouseInside();
    s.hasPopup = Button()->DropDownMenu() != nullptr;
    return s;
}

QStringList TExplorerButtonAccessible::actionNames() const
{
    return {pressAction()};
}

void TExplorerButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        Button()->PerformAccelerator();
}

QAccessibleInterface *ExplorerButtonAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TExplorerButton") && object && object->isWidgetType())
        return new TExplorerButtonAccessible(static_cast<TExplorerButton *>(object));
    return nullptr;
}
