#pragma once

#include <QList>
#include <QMap>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

// Runs the event loop until condition holds or the bound passes (a bound for the
// test's sake, never an expected duration); returns the condition's last value.
bool WaitFor(const std::function<bool()> &condition, int boundMs = 10000);

// Every message box shown while it lives: what it said and which button answered it.
class TBoxRecorder {
public:
    struct Box {
        QString Caption;
        QString Text; // exactly as the program wrote it ("\r" line breaks and all)
        QMessageBox::Icon Icon;
        QMessageBox::StandardButtons Buttons;
    };

    // Answers: per caption, the buttons to press in turn; without one, Yes when the box
    // has it, else OK.
    TBoxRecorder();
    ~TBoxRecorder();

    void Answer(const QString &caption, QList<QMessageBox::StandardButton> buttons);
    const QList<Box> &Boxes() const { return FBoxes; }
    QStringList Captions() const;
    // The box with this caption (the last one), or an empty record.
    Box Find(const QString &caption) const;
    bool Shown(const QString &caption) const;

    // Called once a box is on screen, before it is answered.
    std::function<void(const Box &)> OnBox;

private:
    QList<Box> FBoxes;
    QMap<QString, QList<QMessageBox::StandardButton>> FAnswers;
};

// Watches every window other than a message box as it is shown and hands it to the
// handler once its own event loop runs (so a modal window can be answered). The
// handler returns whether it answered the window.
class TModalDriver : public QObject {
public:
    explicit TModalDriver(std::function<bool(QWidget *)> handler);
    ~TModalDriver() override;

    // Object names of the windows shown, in order.
    const QStringList &Seen() const { return FSeen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(QWidget *)> FHandler;
    QStringList FSeen;
};

// Answers the update save dialog with path and the filter of the given number (1-3).
bool AnswerSaveDialog(QWidget *window, const QString &path, int filterIndex);
// Cancels the update save dialog.
bool CancelSaveDialog(QWidget *window);
