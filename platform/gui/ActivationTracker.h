#pragma once

#include <QObject>
#include <functional>

class QWidget;
class QWindow;

// Recognises a window's activation as the program's windows mean it: the first time the
// window becomes active, and each time it becomes active again after one of our own
// windows shown over it (About, preview, help, ...) had the focus. A message box closing
// does not count, so a failure report cannot restart the work that failed; nor does
// coming back from another program or from a dialog that stands for a system one (Print
// Setup): returning from those leaves the focus where it was.
class ActivationTracker : public QObject {
public:
    ActivationTracker(QWidget *window, std::function<void()> onActivate);

    // Marks a dialog that, like a message box, does not count as one of our windows.
    static void MarkSystemDialog(QWidget *dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FocusWindowChanged(QWindow *window);

    QWidget *FWindow;
    std::function<void()> FOnActivate;
    bool FShownOnce = false;
    bool FOwnWindowWasActive = false;
};
