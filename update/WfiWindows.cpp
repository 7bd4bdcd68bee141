#include "update/WfiWindows.h"

#include "platform/gui/Application.h"
#include "platform/gui/MessageBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace WfiWindowFrame {

QSize ClientSize(int outerWidth, int outerHeight)
{
    return QSize(outerWidth - 2 * FrameWidth, outerHeight - 2 * FrameWidth - CaptionHeight);
}

void MakeDialogBorder(QDialog &window, const QSize &clientSize)
{
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window.setFixedSize(clientSize);
}

void CentreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window.move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
}

} // namespace WfiWindowFrame

void ShowPlainMessage(const QString &text)
{
    const Application *app = Application::Instance();
    const QString caption = app && !app->Title().isEmpty() ? app->Title() : QCoreApplication::applicationName();
    MessageBox::Show(nullptr, text, caption, MB_OK);
}

TWfiWaitWindow::TWfiWaitWindow(const QString &message, const QFont &font, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WaitWindow"));
    setWindowTitle(QCoreApplication::translate("TWebFileInfo", "Please Wait"));
    setFont(font);
    setCursor(Qt::WaitCursor);
    WfiWindowFrame::MakeDialogBorder(*this, WfiWindowFrame::ClientSize(240, 100));

    lblMessage = new QLabel(message, this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setGeometry(0, 27, 232, 23);
    lblMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblMessage->setFont(font);
    WfiWindowFrame::CentreOnScreen(*this);
}

QString TWfiWaitWindow::Message() const
{
    return lblMessage->text();
}

void TWfiWaitWindow::SetMessage(const QString &message)
{
    lblMessage->setText(message);
}

TWfiReadMeWindow::TWfiReadMeWindow(const QString &text, const QFont &font, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReadMeWindow"));
    setWindowTitle(QCoreApplication::translate("TWebFileInfo", "Read Me"));
    setFont(font);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(640, 480);
    const int width = screenSize.width() * 4 / 5;
    const int height = screenSize.height() * 4 / 5;
    WfiWindowFrame::MakeDialogBorder(*this, WfiWindowFrame::ClientSize(width, height));

    memReadMe = new QPlainTextEdit(this);
    memReadMe->setObjectName(QStringLiteral("memReadMe"));
    memReadMe->setGeometry(10, 10, width - 25, height - 80);
    memReadMe->setFont(font);
    memReadMe->setLineWrapMode(QPlainTextEdit::NoWrap);
    memReadMe->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memReadMe->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memReadMe->setPlainText(text);

    btnOk = new QPushButton(QCoreApplication::translate("TWebFileInfo", "&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(width / 2 - 34, height - 56, 68, 22);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    WfiWindowFrame::CentreOnScreen(*this);
}
