#include "app/SplashScreen.h"

#include "app/InfoWindowLayout.h"
#include "controls/Panel.h"

#include <QLabel>
#include <QShowEvent>
#include <QTimer>

TSplashScreen::TSplashScreen(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), Panel2(new TPanel(this)),
      Panel1(new TPanel(Panel2)), ImgLogo(new QLabel(Panel1)), Timer1(new QTimer(this))
{
    InfoWindowLayout::InitResources();
    // Hiding the splash must never count as the last window closing.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Tallowmere, 1.1"));
    setFixedSize(326, 184);
    setFont(InfoWindowLayout::Font());
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);

    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 0, 326, 184);
    Panel2->SetBevelInner(bvLowered);
    Panel2->SetBorderWidth(5);
    Panel2->SetColor(QColor(192, 192, 192));

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(7, 7, 311, 169);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetColor(Qt::white);

    ImgLogo->setObjectName(QStringLiteral("ImgLogo"));
    const QPixmap logo(QStringLiteral(":/images/logo.png"));
    ImgLogo->setPixmap(logo);
    ImgLogo->setGeometry(6, 5, logo.width(), logo.height());

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3500);
    connect(Timer1, &QTimer::timeout, this, &TSplashScreen::Timer1Timer);
}

void TSplashScreen::Timer1Timer()
{
    // Stopped first, so that it fires once only.
    Timer1->stop();
    close();
}

void TSplashScreen::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        InfoWindowLayout::CentreOnScreen(this);
    QWidget::showEvent(event);
}
