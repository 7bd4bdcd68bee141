#include "ReportTestSupport.h"

#include "PageProbe.h"
#include "report/QRPrinter.h"

TestForm::TestForm() : Form(std::make_unique<QWidget>())
{
    Form->resize(800, 600);
    Report = new TQRReport(Form.get());
    Report->SetShowProgress(false);
}

TestForm::~TestForm() = default;

TQRBand *TestForm::AddBand(const QString &name, TQRBandType type, int height)
{
    auto *band = new TQRBand(Form.get());
    band->setObjectName(name);
    band->SetBandType(type);
    band->SetHeight(height);
    const std::string key = name.toStdString();
    band->BeforePrint = [this, key](TQRBand *, bool &) {
        Log.push_back(key + ":before");
        Placed.push_back(
            {key, Report->PageNumber(), Report->CurrentColumn(), Report->ColumnLeft(), Report->CurrentY()});
    };
    band->AfterPrint = [this, key](TQRBand *, bool printed) {
        Log.push_back(key + (printed ? ":after" : ":after-not"));
    };
    return band;
}

TQRLabel *TestForm::AddLabel(TQRBand *band, const QString &name, const QString &caption, int left, int top)
{
    auto *label = new TQRLabel(band);
    label->setObjectName(name);
    label->SetCaption(caption);
    label->move(left, top);
    return label;
}

PreviewRun RunPreview(TQRReport &report)
{
    PreviewRun run;
    TQRPrinter *printer = QRPrinter();
    printer->OnPreview = [&run, printer] {
        ++run.Calls;
        run.PageCount = printer->PageCount();
        const int current = printer->CurrentPage();
        for (int i = 1; i <= printer->PageCount(); ++i) {
            printer->SetCurrentPage(i);
            run.Pages.push_back(PageProbe::Play(*printer->Page()));
        }
        printer->SetCurrentPage(current);
    };
    struct Reset {
        TQRPrinter *Printer;
        ~Reset() { Printer->OnPreview = nullptr; }
    } reset{printer};
    report.Preview();
    return run;
}
