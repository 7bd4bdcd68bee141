#include "support/PdfReading.h"
#include "support/PrinterScope.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/Printers.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <gtest/gtest.h>

TEST(Printers, SystemListEndsWithPdfPrinterWhichIsDefaultWithoutOthers)
{
    Printers::SetNames(std::nullopt);
    const QStringList names = Printers::Names();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.last(), QStringLiteral("Print to PDF"));
    EXPECT_EQ(names.mid(0, names.size() - 1), QPrinterInfo::availablePrinterNames());
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(Printers::CurrentName(), QStringLiteral("Print to PDF"));
        EXPECT_TRUE(Printers::IsPdf());
    }
}

TEST(Printers, EmptyListMeansNoPrinterAtAll)
{
    PrinterScope scope(QStringList{});
    EXPECT_TRUE(Printers::Names().isEmpty());
    EXPECT_EQ(Printers::Index(), -1);
    EXPECT_EQ(Printers::Printer(), nullptr);
    EXPECT_THROW(Printers::PageGeometry(), EPrinter);
    QString device;
    Printers::DeviceMode mode;
    EXPECT_FALSE(Printers::GetPrinter(device, mode));
    QPainter painter;
    EXPECT_THROW(Printers::BeginJob(painter, QStringLiteral("x")), EPrinter);
    EXPECT_EQ(scope.Asked, 0);
}

TEST(Printers, UnknownPrinterHasNeitherDeviceNorSettings)
{
    PrinterScope scope({QStringLiteral("No Such Printer 4711"), Printers::PdfPrinterName()});
    EXPECT_EQ(Printers::CurrentName(), QStringLiteral("No Such Printer 4711"));
    EXPECT_THROW(Printers::PageGeometry(), EPrinter);
    QString device;
    Printers::DeviceMode mode;
    EXPECT_FALSE(Printers::GetPrinter(device, mode));
    EXPECT_TRUE(Printers::PaperCodes().isEmpty());

    Printers::SetIndex(1);
    EXPECT_TRUE(Printers::IsPdf());
    EXPECT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(device, Printers::PdfPrinterName());
}

TEST(Printers, PdfGeometryComesFromThePageLayout)
{
    PrinterScope scope;
    QPrinter *printer = Printers::Printer();
    ASSERT_NE(printer, nullptr);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageMargins(QMarginsF(36, 18, 36, 18), QPageLayout::Point);
    const Printers::Geometry g = Printers::PageGeometry();
    const int dpi = printer->resolution();
    EXPECT_EQ(g.DpiX, dpi);
    EXPECT_EQ(g.DpiY, dpi);
    ASSERT_TRUE(g.HasPhysical);
    // Half-inch left and right margins, quarter-inch top and bottom.
    EXPECT_NEAR(g.OffsetX, dpi / 2, 1);
    EXPECT_NEAR(g.OffsetY, dpi / 4, 1);
    EXPECT_NEAR(g.PhysicalWidth, 595.0 / 72 * dpi, 1);
    EXPECT_NEAR(g.PhysicalHeight, 842.0 / 72 * dpi, 1);
    EXPECT_NEAR(g.HorzRes, (595.0 - 72) / 72 * dpi, 1);
    EXPECT_NEAR(g.VertRes, (842.0 - 36) / 72 * dpi, 1);
}

TEST(Printers, SettingsRecordRoundTripsPaperAndOrientation)
{
    PrinterScope scope;
    const QList<int> codes = Printers::PaperCodes();
    for (int code : {1, 5, 8, 9, 11, 256})
        EXPECT_TRUE(codes.contains(code)) << code;

    QString device;
    Printers::DeviceMode mode;
    mode.Fields = Printers::DM_PAPERSIZE | Printers::DM_ORIENTATION;
    mode.PaperSize = 5;
    mode.Orientation = Printers::DMORIENT_LANDSCAPE;
    Printers::SetPrinter(Printers::PdfPrinterName(), mode);
    ASSERT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(mode.PaperSize, 5);
    EXPECT_EQ(mode.Orientation, Printers::DMORIENT_LANDSCAPE);
    EXPECT_EQ(mode.Fields & (Printers::DM_PAPERLENGTH | Printers::DM_PAPERWIDTH), 0u);
    EXPECT_EQ(Printers::Printer()->pageLayout().pageSize().id(), QPageSize::Legal);
    EXPECT_EQ(Printers::Printer()->pageLayout().orientation(), QPageLayout::Landscape);

    // Custom paper keeps the sheet's measures until new ones come, even when they
    // equal a standard sheet.
    Printers::DeviceMode custom;
    custom.Fields = Printers::DM_PAPERSIZE;
    custom.PaperSize = Printers::DMPAPER_USER;
    Printers::SetPrinter(Printers::PdfPrinterName(), custom);
    ASSERT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(mode.PaperSize, Printers::DMPAPER_USER);
    EXPECT_EQ(mode.Fields & (Printers::DM_PAPERLENGTH | Printers::DM_PAPERWIDTH),
              unsigned(Printers::DM_PAPERLENGTH | Printers::DM_PAPERWIDTH));
    EXPECT_NEAR(mode.PaperWidth, 2159, 2);
    EXPECT_NEAR(mode.PaperLength, 3556, 2);

    custom.Fields = Printers::DM_PAPERWIDTH;
    custom.PaperWidth = 1000;
    Printers::SetPrinter(Printers::PdfPrinterName(), custom);
    ASSERT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(mode.PaperWidth, 1000);
    EXPECT_NEAR(mode.PaperLength, 3556, 2);
    const QSizeF mm = Printers::Printer()->pageLayout().pageSize().size(QPageSize::Millimeter);
    EXPECT_NEAR(mm.width(), 100.0, 0.5);
    EXPECT_NEAR(mm.height(), 355.6, 0.5);

    // Back to a standard code: the custom measures go.
    custom.Fields = Printers::DM_PAPERSIZE;
    custom.PaperSize = 9;
    Printers::SetPrinter(Printers::PdfPrinterName(), custom);
    ASSERT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(mode.PaperSize, 9);
    EXPECT_EQ(mode.Fields & Printers::DM_PAPERWIDTH, 0u);

    // Choosing the printer again starts from its defaults.
    Printers::SetIndex(Printers::Index());
    ASSERT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(mode.Orientation, Printers::DMORIENT_PORTRAIT);
}

TEST(Printers, PdfJobAsksForTheFileAndDeclineStartsNothing)
{
    PrinterScope scope;
    {
        QPainter painter;
        scope.Decline = true;
        EXPECT_FALSE(Printers::BeginJob(painter, QStringLiteral("Declined")));
        EXPECT_FALSE(painter.isActive());
        EXPECT_EQ(scope.Asked, 1);
        EXPECT_FALSE(QFile::exists(scope.NextFile));
    }
    {
        scope.Decline = false;
        QPainter painter;
        ASSERT_TRUE(Printers::BeginJob(painter, QStringLiteral("Kept")));
        EXPECT_EQ(scope.Asked, 2);
        EXPECT_TRUE(Printers::IsPrinting());
        painter.drawText(QPointF(100, 200), QStringLiteral("Abandoned"));
        Printers::EndJob(painter, true);
        EXPECT_FALSE(Printers::IsPrinting());
        EXPECT_FALSE(QFile::exists(scope.NextFile));
    }
    {
        QPainter painter;
        ASSERT_TRUE(Printers::BeginJob(painter, QStringLiteral("Kept")));
        painter.drawText(QPointF(100, 200), QStringLiteral("Written"));
        Printers::EndJob(painter, false);
        EXPECT_TRUE(PdfText(scope.NextFile).contains(QStringLiteral("Written")));
    }
}

TEST(Printers, SetupDialogChangesPaperAndOrientation)
{
    PrinterScope scope;
    QString seenPaper;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const QList<QComboBox *> boxes = dialog->findChildren<QComboBox *>();
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes[0]->currentText(), Printers::PdfPrinterName());
        QComboBox *paper = boxes[1];
        paper->setCurrentIndex(paper->findData(5));
        seenPaper = paper->currentText();
        for (QRadioButton *radio : dialog->findChildren<QRadioButton *>()) {
            if (radio->text().contains(QLatin1String("andscape")))
                radio->click();
        }
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(Printers::ExecSetupDialog(nullptr));
    EXPECT_EQ(seenPaper, QStringLiteral("Legal"));
    QString device;
    Printers::DeviceMode mode;
    ASSERT_TRUE(Printers::GetPrinter(device, mode));
    EXPECT_EQ(mode.PaperSize, 5);
    EXPECT_EQ(mode.Orientation, Printers::DMORIENT_LANDSCAPE);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(Printers::ExecSetupDialog(nullptr));
}
