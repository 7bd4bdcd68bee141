#include "RichReport.h"

#include "report/QRGroup.h"
#include "report/QRImage.h"
#include "report/QRMemo.h"
#include "report/QRPrinter.h"
#include "report/QRShape.h"

#include <QIcon>
#include <QPainter>
#include <QPicture>
#include <QPixmap>

RichReport::RichReport(int records)
{
    Report->SetTitleBeforeHeader(true);
    Report->PageFrame().SetWidth(2);
    Report->PageFrame().SetDrawTop(true);
    Report->PageFrame().SetDrawLeft(true);
    Report->PageFrame().SetDrawBottom(true);
    Report->PageFrame().SetDrawRight(true);

    TQRBand *title = AddBand(QStringLiteral("Title"), rbTitle, 160);
    title->Frame().SetWidth(1);
    title->Frame().SetStyle(Qt::DashLine);
    title->Frame().SetDrawBottom(true);
    AddLabel(title, QStringLiteral("Heading"), QStringLiteral("Rich report"), 20, 10);
    TQRLabel *clipped = AddLabel(title, QStringLiteral("Clipped"), QStringLiteral("A caption too long for its box"), 20,
                                 40);
    clipped->SetAutoSize(false);
    clipped->SetWidth(60);
    TQRLabel *centred = AddLabel(title, QStringLiteral("Centred"), QStringLiteral("Centred"), 0, 60);
    centred->SetAlignment(taCenter);
    centred->SetAlignToBand(true);
    auto *date = new TQRSysData(title);
    date->SetData(qrsDate);
    date->move(400, 10);
    QImage bitmap(16, 12, QImage::Format_RGB32);
    bitmap.fill(QColor(30, 120, 200));
    for (int x = 0; x < 16; ++x)
        bitmap.setPixelColor(x, x % 12, Qt::yellow);
    auto *stretched = new TQRImage(title);
    stretched->SetBitmap(bitmap);
    stretched->SetStretch(true);
    stretched->SetBounds(200, 80, 48, 36);
    auto *plain = new TQRImage(title);
    plain->SetBitmap(bitmap);
    plain->SetBounds(260, 80, 48, 36);
    QPicture picture;
    {
        QPainter p(&picture);
        p.setPen(QPen(Qt::darkGreen, 3));
        p.drawEllipse(QRect(0, 0, 100, 60));
        p.drawText(QPointF(20, 35), QStringLiteral("inner"));
    }
    auto *metafile = new TQRImage(title);
    metafile->SetMetafile(picture);
    metafile->SetBounds(320, 80, 100, 60);
    QPixmap iconImage(16, 16);
    iconImage.fill(Qt::red);
    auto *icon = new TQRImage(title);
    icon->SetIcon(QIcon(iconImage));
    icon->SetBounds(430, 80, 16, 16);
    auto *memo = new TQRMemo(title);
    memo->SetLines({QStringLiteral("First memo line"), QStringLiteral("Second memo line")});
    memo->setGeometry(480, 10, 200, 60);

    TQRBand *shapes = AddBand(QStringLiteral("Shapes"), rbPageHeader, 70);
    int left = 10;
    for (TQRShapeType kind : {qrsRectangle, qrsCircle, qrsVertLine, qrsHorLine, qrsTopAndBottom, qrsRightAndLeft}) {
        auto *shape = new TQRShape(shapes);
        shape->SetBounds(left, 5, 50, 50);
        shape->SetShape(kind);
        if (kind == qrsCircle || kind == qrsTopAndBottom)
            shape->SetPen(QPen(Qt::blue, 2, Qt::DashDotLine));
        if (kind == qrsRectangle)
            shape->SetBrush(QBrush(Qt::gray, Qt::Dense4Pattern));
        left += 70;
    }

    TQRBand *groupHeader = AddBand(QStringLiteral("GroupHeader"), rbGroupHeader, 30);
    TQRLabel *groupCaption = AddLabel(groupHeader, QStringLiteral("GroupCaption"), QString(), 10, 5);
    groupCaption->OnPrint = [this](QObject *, QString &value) {
        value = QStringLiteral("Group %1").arg(Record / 10 + 1);
    };
    TQRBand *groupFooter = AddBand(QStringLiteral("GroupFooter"), rbGroupFooter, 24);
    groupFooter->Frame().SetWidth(1);
    groupFooter->Frame().SetDrawTop(true);
    AddLabel(groupFooter, QStringLiteral("GroupTotal"), QStringLiteral("Group total"), 10, 3);

    TQRBand *detail = AddBand(QStringLiteral("Detail"), rbDetail, 22);
    detail->SetColor(QColor(240, 240, 255));
    TQRLabel *value = AddLabel(detail, QStringLiteral("Value"), QString(), 300, 2);
    value->SetAlignment(taRightJustify);
    value->OnPrint = [this](QObject *, QString &text) { text = QString::number(Record * 1234.5, 'f', 2); };
    auto *number = new TQRSysData(detail);
    number->SetData(qrsDetailNo);
    number->SetText(QStringLiteral("No. "));
    number->move(20, 2);

    TQRBand *footer = AddBand(QStringLiteral("Footer"), rbPageFooter, 30);
    auto *page = new TQRSysData(footer);
    page->SetData(qrsPageNumber);
    page->SetText(QStringLiteral("Page "));
    page->move(350, 5);

    Group = new TQRGroup(Form.get());
    Group->SetHeaderBand(groupHeader);
    Group->SetFooterBand(groupFooter);
    Group->OnNeedData = [this](QObject *, QString &v) { v = QString::number(Record / 10); };
    Report->OnNeedData = [this, records](QObject *, bool &more) {
        if (more)
            Record = 0;
        else
            ++Record;
        more = Record < records;
    };
}

std::vector<QByteArray> PageBytes()
{
    std::vector<QByteArray> pages;
    TQRPrinter *printer = QRPrinter();
    const int current = printer->CurrentPage();
    for (int i = 1; i <= printer->PageCount(); ++i) {
        printer->SetCurrentPage(i);
        if (const QPicture *page = printer->Page())
            pages.emplace_back(page->data(), page->size());
    }
    printer->SetCurrentPage(current);
    return pages;
}

std::vector<QImage> PaintPages()
{
    std::vector<QImage> images;
    TQRPrinter *printer = QRPrinter();
    const int current = printer->CurrentPage();
    for (int i = 1; i <= printer->PageCount(); ++i) {
        printer->SetCurrentPage(i);
        QImage image(printer->SheetWidth(), printer->SheetHeight(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        if (const QPicture *page = printer->Page())
            TQRPrinter::DrawPage(
                painter, *page,
                QRectF(printer->LeftOffset(), printer->TopOffset(), printer->PageWidth(), printer->PageHeight()));
        painter.end();
        images.push_back(image);
    }
    printer->SetCurrentPage(current);
    return images;
}

void PreparePages(TQRReport &report, const std::function<void()> &whileFinished)
{
    TQRPrinter *printer = QRPrinter();
    printer->OnPreview = whileFinished;
    struct Reset {
        TQRPrinter *Printer;
        ~Reset() { Printer->OnPreview = nullptr; }
    } reset{printer};
    report.Preview();
}
