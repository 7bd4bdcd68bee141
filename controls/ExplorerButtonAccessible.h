#pragma once

#include <QAccessibleWidget>

class QObject;
class QString;
class TExplorerButton;

// What a screen reader sees of a flat button: a push button named by its caption, or
// by its hint when it shows only an icon, with its enabled, toggle and pop-up state
// and a press action that works like the accelerator.
class TExplorerButtonAccessible : public QAccessibleWidget {
public:
    explicit TExplorerButtonAccessible(TExplorerButton *button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    TExplorerButton *Button() const;
};

// Registered with QAccessible by the first button made.
QAccessibleInterface *ExplorerButtonAccessibleFactory(const QString &className, QObject *object);
