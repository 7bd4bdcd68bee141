// Prints what a 500-page grouped report costs per page: generating it, saving it to a
// page file, loading the file again, and painting a loaded page at 100 % as the
// preview does; and the file's bytes per page. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise; the printer is the first one offered (on a machine
// without printers, "Print to PDF").
#include "platform/core/FormatSettings.h"
#include "platform/core/Formatting.h"
#include "platform/gui/Application.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/Printers.h"
#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRGroup.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRShape.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Pages = 500;
constexpr int Rounds = 5;
constexpr int RecordsPerGroup = 12;

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

TQRLabel *Label(TQRBand *band, const QString &caption, int left, int top, int width,
                TAlignment alignment = taLeftJustify)
{
    auto *label = new TQRLabel(band);
    label->SetAutoSize(false);
    label->SetAlignment(alignment);
    label->SetCaption(caption);
    label->SetBounds(left, top, width, 17);
    return label;
}

TQRBand *Band(QWidget *form, TQRBandType type, int height)
{
    auto *band = new TQRBand(form);
    band->SetBandType(type);
    band->SetHeight(height);
    return band;
}

// A grouped report like the discounting schedule, as long as asked: a title, column
// headings, groups of twelve detail lines with a header and a footer, a page footer.
class GroupedReport {
public:
    GroupedReport()
    {
        Form.resize(800, 600);
        Report = new TQRReport(&Form);
        Report->SetShowProgress(false);
        Report->SetReportTitle(QStringLiteral("Grouped report"));

        TQRBand *title = Band(&Form, rbTitle, 80);
        Label(title, QStringLiteral("A grouped report of five hundred pages"), 40, 20, 600)
            ->SetFont(Fonts::Make(QStringLiteral("Arial"), 27, true));
        TQRBand *columns = Band(&Form, rbColumnHeader, 30);
        Label(columns, QStringLiteral("Line"), 40, 6, 60, taRightJustify);
        Label(columns, QStringLiteral("Amount"), 120, 6, 160, taRightJustify);
        Label(columns, QStringLiteral("Factor"), 300, 6, 120, taRightJustify);
        Label(columns, QStringLiteral("Value"), 440, 6, 200, taRightJustify);
        auto *rule = new TQRShape(columns);
        rule->SetShape(qrsHorLine);
        rule->SetBounds(40, 26, 600, 4);

        TQRBand *header = Band(&Form, rbGroupHeader, 28);
        TQRLabel *groupCaption = Label(header, QString(), 40, 6, 400);
        groupCaption->OnPrint = [this](QObject *, QString &text) {
            text = QStringLiteral("Group %1").arg(Record / RecordsPerGroup + 1);
        };
        TQRBand *footer = Band(&Form, rbGroupFooter, 30);
        footer->Frame().SetWidth(1);
        footer->Frame().SetDrawTop(true);
        Label(footer, QStringLiteral("Group total"), 40, 6, 300);
        TQRLabel *total = Label(footer, QString(), 440, 6, 200, taRightJustify);
        total->OnPrint = [](QObject *, QString &text) { text = FloatToStrF(123456.78L, ffCurrency, 12, 2); };

        TQRBand *detail = Band(&Form, rbDetail, 20);
        TQRLabel *line = Label(detail, QString(), 40, 1, 60, taRightJustify);
        line->OnPrint = [this](QObject *, QString &text) { text = QString::number(Record + 1); };
        TQRLabel *amount = Label(detail, QString(), 120, 1, 160, taRightJustify);
        amount->OnPrint = [this](QObject *, QString &text) {
            text = FloatToStrF(1000.0L + Record * 17.25L, ffCurrency, 12, 2);
        };
        TQRLabel *factor = Label(detail, QString(), 300, 1, 120, taRightJustify);
        factor->OnPrint = [this](QObject *, QString &text) {
            text = FloatToStrF(1.0L / (1.0L + (Record % RecordsPerGroup) * 0.01L), ffFixed, 15, 6);
        };
        TQRLabel *value = Label(detail, QString(), 440, 1, 200, taRightJustify);
        value->OnPrint = [this](QObject *, QString &text) {
            text = FloatToStrF(987.65L + Record * 3.5L, ffCurrency, 12, 2);
        };

        TQRBand *pageFooter = Band(&Form, rbPageFooter, 30);
        auto *page = new TQRSysData(pageFooter);
        page->SetData(qrsPageNumber);
        page->SetText(QStringLiteral("Page "));
        page->move(560, 8);

        auto *group = new TQRGroup(&Form);
        group->SetHeaderBand(header);
        group->SetFooterBand(footer);
        group->OnNeedData = [this](QObject *, QString &v) { v = QString::number(Record / RecordsPerGroup); };
        // Records run until the last page has begun.
        Report->OnNeedData = [this](QObject *, bool &more) {
            if (more)
                Record = 0;
            else
                ++Record;
            more = Report->PageNumber() < Pages;
        };
    }

    QWidget Form;
    TQRReport *Report = nullptr;
    int Record = 0;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application app(argc, argv);
    SetFormatSettings(UnitedStatesFormatSettings());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("grouped.QRP"));
    TQRPrinter *printer = QRPrinter();
    printer->SetShowProgress(false);

    GroupedReport report;
    std::vector<double> generate, save, load, paint;
    qint64 bytes = 0;
    int pages = 0;
    for (int round = 0; round < Rounds; ++round) {
        auto start = Clock::now();
        report.Report->Prepare();
        generate.push_back(Millis(Clock::now() - start).count());
        pages = printer->PageCount();

        start = Clock::now();
        printer->Save(file);
        save.push_back(Millis(Clock::now() - start).count());
        bytes = QFileInfo(file).size();
        printer->ClearPages();

        start = Clock::now();
        printer->Load(file);
        load.push_back(Millis(Clock::now() - start).count());

        // At 100 % the sheet is painted at its screen size, the page at its place.
        QImage sheet(printer->SheetWidth(), printer->SheetHeight(), QImage::Format_ARGB32_Premultiplied);
        start = Clock::now();
        for (int page = 1; page <= printer->PageCount(); ++page) {
            printer->SetCurrentPage(page);
            sheet.fill(Qt::white);
            QPainter painter(&sheet);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            TQRPrinter::DrawPage(painter, *printer->Page(),
                                 QRectF(printer->LeftOffset() + 1, printer->TopOffset() + 1, printer->PageWidth(),
                                        printer->PageHeight()));
        }
        paint.push_back(Millis(Clock::now() - start).count());
        printer->ClearPages();
    }

    std::printf("Grouped report of %d pages (%d rounds, median; platform %s, printer \"%s\"):\n", pages, Rounds,
                qPrintable(QGuiApplication::platformName()), qPrintable(Printers::CurrentName()));
    std::printf("  generate      %7.3f ms per page\n", Median(generate) / pages);
    std::printf("  save          %7.3f ms per page\n", Median(save) / pages);
    std::printf("  load          %7.3f ms per page (every page picture checked)\n", Median(load) / pages);
    std::printf("  paint at 100%% %7.3f ms per page\n", Median(paint) / pages);
    std::printf("  file          %7lld bytes per page (%lld bytes)\n", bytes / pages, bytes);
    return 0;
}
