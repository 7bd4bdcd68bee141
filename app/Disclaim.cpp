#include "app/Disclaim.h"

#include "app/InfoWindowLayout.h"
#include "controls/ExplorerButton.h"
#include "controls/Panel.h"

#include <QKeyEvent>
#include <QLabel>

namespace {

QLabel *MakeLabel(QWidget *parent, const char *name, const QRect &geometry, const QString &text, const QColor &color)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TfrmDisclaim::TfrmDisclaim(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Panel1(new TPanel(this))
{
    InfoWindowLayout::InitResources();
    setWindowTitle(tr("Disclaimer"));
    setFixedSize(224, 165);
    setFont(InfoWindowLayout::Font());

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->resize(224, 135);
    Panel1->SetAlign(alTop);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetColor(Qt::white);

    Label3 = MakeLabel(Panel1, "Label3", QRect(7, 8, 210, 42),
                       tr("NOTE:  While effort was made to ensure the accuracy of these calculations,"), Qt::black);
    Label10 = MakeLabel(Panel1, "Label10", QRect(12, 36, 200, 56),
                        tr("there is  NO WARRANTY,  expressed or implied, for the accuracy or the "
                           "applicability of this information to your particular financial question."),
                        Qt::red);
    Label10->setFont(InfoWindowLayout::Font(true));
    Label12 = MakeLabel(Panel1, "Label12", QRect(10, 97, 204, 31),
                        tr("Please consult a qualified financial advisor before making any financial "
                           "decision."),
                        Qt::black);

    btnClose = new TExplorerButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(55, 138, 115, 25);
    btnClose->SetCaption(tr(" &OK"));
    btnClose->SetHint(tr(" Close Disclaimer"));
    btnClose->SetLayout(blBitmapLeft);
    btnClose->SetOptions(boPopupMark | boShowBevel);
    btnClose->SetBitmap(QImage(QStringLiteral(":/images/ok.xpm")));
    btnClose->OnClick = [this](QObject *sender) { BtnCloseClick(sender); };
}

void TfrmDisclaim::BtnCloseClick(QObject *)
{
    close();
}

// Only the OK button closes the window: there is no Cancel to map Escape to.
void TfrmDisclaim::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmDisclaim::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        InfoWindowLayout::CentreOnScreen(this);
    QDialog::showEvent(event);
}
