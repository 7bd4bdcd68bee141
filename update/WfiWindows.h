#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The update service's windows are laid out by their outer size, as designed; Qt sizes
// the client area, which is the outer size less a 3-pixel dialog frame on every side
// and a 19-pixel caption.
namespace WfiWindowFrame {
inline constexpr int FrameWidth = 3;
inline constexpr int CaptionHeight = 19;
QSize ClientSize(int outerWidth, int outerHeight);
// Title bar without any buttons, fixed size: the designed dialog border.
void MakeDialogBorder(QDialog &window, const QSize &clientSize);
void CentreOnScreen(QWidget &window);
} // namespace WfiWindowFrame

// A plain message: the application's title as caption, no icon, an OK button.
void ShowPlainMessage(const QString &text);

// "Please Wait": a one-line message while a request runs. It has no button and cannot
// be closed from the keyboard; the request's completion (or the update component's
// exception hook) closes it.
class TWfiWaitWindow : public QDialog {
    Q_OBJECT
public:
    TWfiWaitWindow(const QString &message, const QFont &font, QWidget *parent = nullptr);

    QString Message() const;
    void SetMessage(const QString &message);

    QLabel *lblMessage = nullptr;

public slots:
    // Escape and the window manager's close ask for this; only done() closes the window.
    void reject() override {}
};

// "Read Me": the published read-me text in a large box with an Ok button.
class TWfiReadMeWindow : public QDialog {
    Q_OBJECT
public:
    TWfiReadMeWindow(const QString &text, const QFont &font, QWidget *parent = nullptr);

    QPlainTextEdit *memReadMe = nullptr;
    QPushButton *btnOk = nullptr;
};
