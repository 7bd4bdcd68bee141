#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

class Exception;

// The application object: title, help file, hint text and hint pause, the activation
// and exception hooks. Every exception that leaves an event handler is caught in
// notify() and handed to HandleException, so Qt never sees one.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    ~Application() override;

    // The one application object, or nullptr before it exists.
    static Application *Instance();

    const QString &Title() const { return FTitle; }
    void SetTitle(const QString &title) { FTitle = title; }

    const QString &HelpFile() const { return FHelpFile; }
    void SetHelpFile(const QString &path) { FHelpFile = path; }

    // How long the mouse rests on a control before its tooltip shows, in ms.
    int HintPause() const { return FHintPause; }
    void SetHintPause(int ms);

    // The long hint of the control under the mouse; OnHint fires when it changes.
    const QString &Hint() const { return FHint; }
    void SetHint(const QString &hint);

    std::function<void()> OnHint;
    std::function<void()> OnActivate;
    std::function<void(QObject *sender, const Exception &e)> OnException;

    // Reports the exception in flight (call it from a catch block) or the one given:
    // EAbort is dropped, an Exception goes to OnException when installed, anything
    // else to ShowException.
    void HandleException(QObject *sender, std::exception_ptr error = std::current_exception());

    // The default report: a message box with the exception's own text.
    void ShowException(const QString &message);

    void ProcessMessages();
    void Terminate();

    bool notify(QObject *receiver, QEvent *event) override;

private:
    QString FTitle;
    QString FHelpFile;
    QString FHint;
    int FHintPause = 500;
};

// Runs fn, handing any exception to the application object's handler instead of
// letting it escape; for code that runs outside an event (constructors, main).
template <typename Fn>
void RunHandled(QObject *sender, Fn &&fn)
{
    try {
        fn();
    } catch (...) {
        if (Application *app = Application::Instance())
            app->HandleException(sender);
        else
            throw;
    }
}
