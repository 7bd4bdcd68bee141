#include "ReportTestSupport.h"

#include "PageProbe.h"
#include "report/QRPrinter.h"

#include <QProcess>
#include <QRegularExpression>

PrinterScope::PrinterScope(const QStringList &names)
{
    Printers::SetNames(names);
    NextFile = Dir.filePath(QStringLiteral("job.pdf"));
    Printers::SetOnAskFileName([this](QString &fileName) {
        ++Asked;
        if (Decline)
            return false;
        fileName = NextFile;
        return true;
    });
}

PrinterScope::~PrinterScope()
{
    Printers::SetOnAskFileName(nullptr);
    Printers::SetNames(std::nullopt);
}

QString PdfText(const QString &file, bool layout)
{
    QProcess process;
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << file << QStringLiteral("-");
    process.start(QStringLiteral("pdftotext"), args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPageCount(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {file});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

std::vector<PdfWord> PdfWords(const QString &file)
{
    std::vector<PdfWord> words;
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return words;
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression pattern(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    for (const QRegularExpressionMatch &m : pattern.globalMatch(html)) {
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""));
        words.push_back({text, page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble()});
    }
    return words;
}

const PdfWord *FindWord(const std::vector<PdfWord> &words, const QString &text)
{
    for (const PdfWord &word : words) {
        if (word.Text == text)
            return &word;
    }
    return nullptr;
}

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
        Placed.push_back({key, Report->PageNumber(), Report->CurrentColumn(), Report->ColumnLeft(),
                          Report->CurrentY()});
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
