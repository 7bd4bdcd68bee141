#include "app/AboutBox.h"

#include "app/InfoWindowLayout.h"
#include "app/Links.h"
#include "controls/ExplorerButton.h"
#include "controls/Panel.h"
#include "controls/UrlLabel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QUrl>

const QString TAboutBox::CommentsAddress = QStringLiteral("comments@corvane.example");

namespace {

QLabel *MakeLabel(QWidget *parent, const char *name, int left, int top, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
    label->move(left, top);
    label->adjustSize();
    return label;
}

TUrlLabel *MakeLink(QWidget *parent, const char *name, const QRect &geometry, const QString &caption,
                    const QString &url, const QString &hint)
{
    auto *link = new TUrlLabel(parent);
    link->setObjectName(QString::fromLatin1(name));
    link->setGeometry(geometry);
    link->SetCaption(caption);
    link->SetURL(url);
    link->SetHint(hint);
    return link;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Panel1(new TPanel(this))
{
    InfoWindowLayout::InitResources();
    setWindowTitle(tr("About Tallowmere, 1.1"));
    setFixedSize(416, 269);
    setFont(InfoWindowLayout::Font());

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(6, 6, 405, 227);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetColor(Qt::white);

    Label4 = MakeLabel(Panel1, "Label4", 8, 15,
                       tr(" Corvane Software creates award-winning financial calculators for"));
    Label5 = MakeLabel(Panel1, "Label5", 10, 30,
                       tr("consumers, professionals and corporations in the banking, real estate,"));
    Label6 = MakeLabel(Panel1, "Label6", 10, 45, tr("mortgage and financial services industries."));
    Label3 = MakeLabel(Panel1, "Label3", 8, 75, tr(" We invite you to visit our website at,"));

    UrlLabel1 = MakeLink(Panel1, "UrlLabel1", QRect(195, 74, 118, 14), QUrl(Links::HomePage).host(), Links::HomePage,
                         tr(" Click to visit our website ..."));

    Label7 = MakeLabel(Panel1, "Label7", 10, 90, tr("and explore the other freeware and shareware financial"));
    Label10 = MakeLabel(Panel1, "Label10", 10, 105, tr("calculators which are available for you to download."));
    Label12 = MakeLabel(Panel1, "Label12", 8, 135, tr(" We also invite you to contact us with any questions or"));
    Label1 = MakeLabel(Panel1, "Label1", 10, 150, tr("suggestions you might have about Corvane"));
    Label8 = MakeLabel(Panel1, "Label8", 10, 165, tr("Software and our financial calculators.  "));

    UrlLabel2 = MakeLink(Panel1, "UrlLabel2", QRect(10, 184, 164, 14), CommentsAddress,
                         QStringLiteral("mailto:") + CommentsAddress, tr(" Click to send email ..."));

    Label2 = MakeLabel(Panel1, "Label2", 10, 204, tr("Freeware.  \u00A9 Corvane Software.  All rights reserved."));
    Label2->resize(388, 14);
    QPalette grey = Label2->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Label2->setPalette(grey);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture(QStringLiteral(":/images/about.png"));
    Image1->setPixmap(picture);
    Image1->setGeometry(248, 65, picture.width(), picture.height());
    // The longer text lines run into the picture's white part; they stay on top.
    Image1->lower();

    btnClose = new TExplorerButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(150, 239, 115, 25);
    btnClose->SetCaption(tr("&OK"));
    btnClose->SetLayout(blBitmapLeft);
    btnClose->SetOptions(boPopupMark | boShowBevel);
    btnClose->SetBitmap(QImage(QStringLiteral(":/images/ok.xpm")));
    btnClose->OnClick = [this](QObject *sender) { BtnCloseClick(sender); };
}

void TAboutBox::BtnCloseClick(QObject *)
{
    close();
}

// Only the OK button closes the window: there is no Cancel to map Escape to.
void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        InfoWindowLayout::CentreOnScreen(this);
    QDialog::showEvent(event);
}
