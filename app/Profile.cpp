#include "app/Profile.h"

#include "app/profile/ProfilePicture.h"
#include "platform/gui/Application.h"
#include "platform/gui/Fonts.h"
#include "report/QRBand.h"
#include "report/QRFormParts.h"
#include "report/QRImage.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::function<QString()> &FileDialogAnswer()
{
    static std::function<QString()> answer;
    return answer;
}

// The printed page: a heading and the picture across the width the result report uses.
constexpr int PageLeft = 30, PageWidth = 735, HeadingHeight = 50, PictureHeight = 500;

} // namespace

TfrmProfile::TfrmProfile(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmProfile"));
    setWindowTitle(tr("NPV Profile"));
    setFont(Fonts::Make(QStringLiteral("Arial"), 13));
    resize(760, 540);

    btnPrint = new QPushButton(tr("&Print..."), this);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnSave = new QPushButton(tr("&Save As..."), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    connect(btnPrint, &QPushButton::clicked, this, [this] { RunHandled(btnPrint, [this] { Print(); }); });
    connect(btnSave, &QPushButton::clicked, this, [this] { RunHandled(btnSave, [this] { SaveAs(); }); });
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

    Chart = new QWidget(this);
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setAccessibleName(tr("NPV profile"));
    Chart->setAttribute(Qt::WA_OpaquePaintEvent);
    Chart->setMinimumSize(400, 260);
    Chart->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnSave);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(Chart, 1);

    Chart->setAccessibleDescription(FProfile.Description());
}

void TfrmProfile::SetValues(const Npv::CashFlows &flows, const std::array<double, Npv::RateCount> &ratesPercent)
{
    FProfile = TNpvProfile(flows, ratesPercent);
    Chart->setAccessibleDescription(FProfile.Description());
    Chart->update();
}

bool TfrmProfile::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Chart && event->type() == QEvent::Paint) {
        QPainter painter(Chart);
        FProfile.Paint(painter, QRectF(Chart->rect()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmProfile::Print()
{
    // A report form of one page, built for this print and gone with it.
    QWidget form;
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.setFont(Fonts::Make(QStringLiteral("Arial"), 13));
    auto *report = new TQRReport(&form);
    report->SetReportTitle(tr("NPV Profile"));
    auto *band = new TQRBand(&form);
    band->SetBandType(rbTitle);
    band->SetHeight(HeadingHeight + PictureHeight);
    const QFont heading = Fonts::Make(QStringLiteral("Arial"), 27, true);
    QRFormParts::AddLabel(band, tr("NPV Profile"), PageLeft, 10, PageWidth, 32, &heading, taLeftJustify, false);
    auto *picture = new TQRImage(band);
    picture->SetMetafile(ProfilePicture::Record(FProfile, QSize(PageWidth, PictureHeight)));
    picture->SetBounds(PageLeft, HeadingHeight, PageWidth, PictureHeight);
    QRPrinter()->SetPreviewCaption(tr("NPV Profile"));
    QRPrinter()->SetProgressCaption(tr("Preview of NPV Profile"));
    report->Preview();
}

void TfrmProfile::SaveAs()
{
    QString name;
    QString filter;
    if (FileDialogAnswer())
        name = FileDialogAnswer()();
    else
        name = QFileDialog::getSaveFileName(this, tr("Save NPV Profile"), QStringLiteral("profile.svg"),
                                            tr("SVG picture (*.svg);;PNG picture (*.png)"), &filter);
    if (name.isEmpty())
        return;
    // A name typed without its ending gets the chosen kind's.
    if (!ProfilePicture::IsPictureName(name))
        name += filter.contains(QLatin1String("png")) ? QStringLiteral(".png") : QStringLiteral(".svg");
    ProfilePicture::Save(FProfile, name);
}

void TfrmProfile::SetOnFileDialog(std::function<QString()> answer)
{
    FileDialogAnswer() = std::move(answer);
}
