#include "app/Main.h"
#include "app/core/SavedValues.h"
#include "controls/NumCtrl.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/ProfileFile.h"
#include "platform/gui/Application.h"
#include "platform/gui/Printers.h"
#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRStandardPreview.h"
#include "tools/schedule/DiscountSchedule.h"
#include "tools/schedule/ScheduleCsv.h"
#include "tools/schedule/ScheduleProgram.h"
#include "tools/schedule/ScheduleReport.h"

#include <QDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <cmath>
#include <memory>
#include <QImage>
#include <QSvgRenderer>

// Failures show texts as texts.
void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

// The settings file the calculator writes, from ten flows and five rates as text.
void WriteSettings(const QString &path, const QStringList &years, const QStringList &rates)
{
    ProfileFile file(path);
    file.BeginUpdate();
    for (int n = 0; n < years.size(); ++n)
        file.WriteString(SavedValues::Section, QStringLiteral("Year%1").arg(n + 1), years[n]);
    for (int k = 0; k < rates.size(); ++k)
        file.WriteString(SavedValues::Section, QStringLiteral("Rate%1").arg(k + 1), rates[k]);
    file.EndUpdate();
}

// "Print to PDF" alone, writing to a file of the test's.
class PdfPrinter {
public:
    PdfPrinter()
    {
        Printers::SetNames(QStringList{Printers::PdfPrinterName()});
        File = Dir.filePath(QStringLiteral("schedule.pdf"));
        Printers::SetOnAskFileName([this](QString &name) {
            name = File;
            return true;
        });
    }
    ~PdfPrinter()
    {
        Printers::SetOnAskFileName(nullptr);
        Printers::SetNames(std::nullopt);
    }
    QTemporaryDir Dir;
    QString File;
};

QString PdfLayoutText(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Prints the schedule of the saved values to PDF and returns its text.
QString PrintedSchedule(const TDiscountSchedule &schedule, int *pages = nullptr)
{
    PdfPrinter pdf;
    TScheduleReport form(schedule, QStringLiteral("test settings"));
    form.Rep->SetShowProgress(false);
    QRPrinter()->OnPreview = [pages] {
        if (pages)
            *pages = QRPrinter()->PageCount();
        QRPrinter()->Print();
    };
    form.Rep->Preview();
    QRPrinter()->OnPreview = nullptr;
    return PdfLayoutText(pdf.File);
}

// The amount printed after "Net present value at <rate>", or the words that stand for
// one, for each group in order.
QStringList PrintedFooters(const QString &text)
{
    QStringList amounts;
    const QRegularExpression footer(QStringLiteral("Net present value at [-0-9.,]+ %\\s+(.+?)\\s*$"),
                                    QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &m : footer.globalMatch(text))
        amounts << m.captured(1);
    return amounts;
}

class Schedule : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(UnitedStatesFormatSettings());
        QRPrinter()->OnPreview = nullptr;
    }
    void TearDown() override
    {
        QRPrinter()->OnPreview = nullptr;
        Application::Instance()->OnException = nullptr;
        TQRStandardPreview::SetOnFileDialog(nullptr);
    }
    QTemporaryDir Dir;
};

struct Inputs {
    const char *Name;
    QStringList Years;
    QStringList Rates;
};

class CalculatorResults : public Schedule, public ::testing::WithParamInterface<Inputs> {};

const Inputs CalculatorInputs[] = {
    {"PurchaseAndSale",
     {"-5000", "1000", "1000", "1000", "1000", "1000", "1000", "1000", "1000", "6000"},
     {"8", "4.125", "10", "0", "15.5"}},
    // The field shows three decimals and the calculator discounts at what it shows.
    {"RatesWithMoreDecimalsThanShown",
     {"1234.56", "-250.75", "0.01", "99999.99", "3", "0", "0", "17", "-4", "8"},
     {"4.12345", "7.0005", "12.9996", "0.0004", "33.3333"}},
    // Exactly half a cent: the result field rounds to the even cent.
    {"HalfACent", {"0.125", "0", "0", "0", "0", "0", "0", "0", "0", "0"}, {"0", "0", "0", "0", "0"}},
    {"LargeAmounts",
     {"123456789", "-98765432.1", "5e7", "0", "0", "0", "0", "0", "0", "1e9"},
     {"1", "2", "3", "50", "99"}},
};

} // namespace

// The footers are the calculator's own results: its window is given the same settings
// file, CalculateDCF runs, and every result field's value and text must match the
// schedule's net present value and the amount the report prints.
TEST_P(CalculatorResults, AreTheGroupFooters)
{
    const Inputs &row = GetParam();
    QTemporaryDir dir;
    WriteSettings(dir.filePath(QStringLiteral("tlm.ini")), row.Years, row.Rates);
    SavedValues values;
    values.Load(ProfileFile(dir.filePath(QStringLiteral("tlm.ini"))));
    const TDiscountSchedule schedule = TDiscountSchedule::FromSavedValues(values);

    QStringList calculator;
    {
        TfrmMain main(dir.path() + QLatin1Char('/'));
        QRPrinter()->OnPreview = nullptr;
        main.CalculateDCF(nullptr);
        for (int k = 1; k <= Npv::RateCount; ++k) {
            const TDiscountSchedule::Rate &rate = schedule.RateAt(k - 1);
            EXPECT_TRUE(rate.Defined) << "rate " << k;
            EXPECT_EQ(rate.NetPresentValue, main.edtNPV(k)->Value()) << "rate " << k;
            EXPECT_EQ(TDiscountSchedule::CurrencyText(rate.NetPresentValue), main.edtNPV(k)->text()) << "rate " << k;
            calculator << main.edtNPV(k)->text();
        }
    }
    QRPrinter()->OnPreview = nullptr;
    Application::Instance()->OnException = nullptr;
    EXPECT_EQ(PrintedFooters(PrintedSchedule(schedule)), calculator);
}

INSTANTIATE_TEST_SUITE_P(Schedule, CalculatorResults, ::testing::ValuesIn(CalculatorInputs),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(Schedule, YearsAddUpToTheNetPresentValue)
{
    Npv::CashFlows flows{};
    for (int n = 0; n < Npv::YearCount; ++n)
        flows[n] = 1000;
    const TDiscountSchedule schedule(flows, {10, 5, 0, 8, 4});
    const TDiscountSchedule::Rate &ten = schedule.RateAt(0);
    ASSERT_TRUE(ten.Defined);
    EXPECT_NEAR(double(ten.NetPresentValue), 6144.567, 0.0005);
    long double sum = 0;
    for (const TDiscountSchedule::Year &year : ten.Years) {
        sum += year.PresentValue;
        EXPECT_NEAR(double(year.Factor * year.CashFlow), double(year.PresentValue), 1e-9);
    }
    // The net present value is the sum rounded to the stored precision.
    EXPECT_NEAR(double(sum), double(ten.NetPresentValue), 1e-6);
    EXPECT_EQ(ten.Years[0].Number, 1);
    EXPECT_EQ(ten.Years[9].Number, 10);
    EXPECT_NEAR(double(ten.Years[0].Factor), 1 / 1.1, 1e-12);
    // At 0 % every factor is 1 and the value is the plain sum.
    EXPECT_EQ(schedule.RateAt(2).Years[4].Factor, 1.0L);
    EXPECT_EQ(schedule.RateAt(2).NetPresentValue, 10000.0L);
    EXPECT_EQ(TDiscountSchedule::CurrencyText(-1234.5L), QStringLiteral("($1,234.50)"));
    EXPECT_EQ(TDiscountSchedule::PercentText(4.125), QStringLiteral("4.125 %"));
    EXPECT_EQ(TDiscountSchedule::FactorText(0.5L), QStringLiteral("0.500000"));
}

TEST_F(Schedule, PrintedLayoutHasAGroupPerRate)
{
    Npv::CashFlows flows{};
    for (int n = 0; n < Npv::YearCount; ++n)
        flows[n] = 100 * (n + 1);
    // Two fields with the same rate still get a group each; −100 % cannot discount.
    const TDiscountSchedule schedule(flows, {5, 5, -100, 12.5, 0});
    EXPECT_FALSE(schedule.RateAt(2).Defined);
    int pages = 0;
    const QString text = PrintedSchedule(schedule, &pages);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(pages, 2);
    EXPECT_TRUE(text.contains(QStringLiteral("Discounting Schedule")));
    EXPECT_EQ(text.count(QStringLiteral("Discount Factor")), pages) << "column headings on every page";
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("Discount rate 5.000 %"))), 2);
    EXPECT_EQ(text.count(QStringLiteral("Discount rate -100.000 %")), 1);
    EXPECT_EQ(text.count(QStringLiteral("Discount rate 12.500 %")), 1);
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(page))) << page;
    const QStringList footers = PrintedFooters(text);
    ASSERT_EQ(footers.size(), 5);
    EXPECT_EQ(footers[0], footers[1]);
    EXPECT_EQ(footers[2], QStringLiteral("cannot be determined at this rate"));
    EXPECT_EQ(footers[4], QStringLiteral("$5,500.00"));
    // Year 10 at 0 %: its cash flow, a factor of one, the same present value.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("10\\s+\\$1,000.00\\s+1.000000\\s+\\$1,000.00"))));
    // Forty year lines at the four rates that discount, none at the one that does not.
    EXPECT_EQ(
        text.count(QRegularExpression(QStringLiteral("^\\s+1\\s+\\$100.00"), QRegularExpression::MultilineOption)), 4);
}

namespace {

using Command = ScheduleProgram::Command;

struct ArgumentsRow {
    const char *Name;
    QStringList Args;
    Command::TKind Kind;
    const char *File; // the file named, for a file to open or a table to write
    const char *Profile = "";
    double Reinvest = std::nan("");
};

const ArgumentsRow ArgumentLists[] = {
    {"None", {}, Command::Schedule, ""},
    {"Help", {"--help"}, Command::Help, ""},
    {"VersionAfterAFile", {"report.QRP", "--version"}, Command::Version, ""},
    {"File", {"report.QRP"}, Command::OpenFile, "report.QRP"},
    {"StandardInput", {"-"}, Command::OpenFile, "-"},
    {"TwoFiles", {"a.QRP", "b.QRP"}, Command::Bad, ""},
    {"UnknownOption", {"--colour"}, Command::Bad, ""},
    {"Csv", {"--csv=out.csv"}, Command::Csv, "out.csv"},
    {"CsvToStandardOutput", {"--csv=-"}, Command::Csv, "-"},
    {"CsvWithAnEmptyName", {"--csv="}, Command::Bad, ""},
    {"CsvWithoutAName", {"--csv"}, Command::Bad, ""},
    {"CsvAndAFile", {"--csv=a.csv", "b.QRP"}, Command::Bad, ""},
    {"FileAndACsv", {"b.QRP", "--csv=a.csv"}, Command::Bad, ""},
    {"TwoCsvs", {"--csv=a.csv", "--csv=b.csv"}, Command::Bad, ""},
    {"ProfileAlone", {"--profile=p.svg"}, Command::Csv, "", "p.svg"},
    {"ProfileAndCsv", {"--csv=-", "--reinvest=6.5", "--profile=P.PNG"}, Command::Csv, "-", "P.PNG", 6.5},
    {"ProfileOfAnotherKind", {"--profile=p.jpg"}, Command::Bad, ""},
    {"ProfileWithAReportFile", {"--profile=p.svg", "a.QRP"}, Command::Bad, ""},
    {"ReinvestForTheSchedule", {"--reinvest=-2"}, Command::Schedule, "", "", -2},
    {"ReinvestWithADecimalComma", {"--reinvest=6,5"}, Command::Bad, ""},
    {"ReinvestWithAReportFile", {"--reinvest=5", "a.QRP"}, Command::Bad, ""},
};

class ScheduleArguments : public ::testing::TestWithParam<ArgumentsRow> {};

} // namespace

TEST_P(ScheduleArguments, AskForHelpVersionOrAFile)
{
    const ArgumentsRow &row = GetParam();
    const Command command = ScheduleProgram::ParseArguments(row.Args);
    EXPECT_EQ(command.Kind, row.Kind);
    if (row.Kind == Command::OpenFile || row.Kind == Command::Csv) {
        EXPECT_EQ(command.File, QString::fromUtf8(row.File));
    }
    if (row.Kind == Command::Bad) {
        EXPECT_FALSE(command.Error.isEmpty());
    } else {
        EXPECT_EQ(command.Profile, QString::fromUtf8(row.Profile));
        EXPECT_EQ(command.ReinvestPercent.has_value(), !std::isnan(row.Reinvest));
        if (command.ReinvestPercent) {
            EXPECT_EQ(*command.ReinvestPercent, row.Reinvest);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Schedule, ScheduleArguments, ::testing::ValuesIn(ArgumentLists),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(Schedule, ToolkitOptionsPassAndTheTextsNameTheProgram)
{
    // The toolkit's own options, with or without their values, are not ours to refuse.
    using ScheduleProgram::WithoutToolkitOptions;
    EXPECT_EQ(WithoutToolkitOptions({"-platform", "offscreen", "report.QRP"}), QStringList{"report.QRP"});
    EXPECT_EQ(WithoutToolkitOptions({"-style=fusion", "-reverse", "--colour"}), QStringList{"--colour"});
    EXPECT_EQ(WithoutToolkitOptions({"-x", "-display", ":1", "-"}), (QStringList{"-x", "-"}));
    EXPECT_EQ(WithoutToolkitOptions({"--platform", "xcb", "--help", "a.QRP"}), (QStringList{"--help", "a.QRP"}));
    EXPECT_TRUE(ScheduleProgram::UsageText().startsWith(QStringLiteral("Usage: tallowmere-schedule")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^tallowmere-schedule \\d+\\.\\d+\\.\\d+\n$"))
                    .match(ScheduleProgram::VersionText())
                    .hasMatch())
        << ScheduleProgram::VersionText().toStdString();
}

// The program's two roads end in the engine's own preview: the schedule of a settings
// file, saved from there, and the saved file opened again.
TEST_F(Schedule, ScheduleShowsInTheBuiltInPreviewAndItsFileOpensAgain)
{
    PdfPrinter pdf;
    const QString settings = Dir.filePath(QStringLiteral("tlm.ini"));
    WriteSettings(settings, {"-5000", "1000", "1000", "1000", "1000", "1000", "1000", "1000", "1000", "6000"},
                  {"8", "9", "10", "11", "12"});
    const QString saved = Dir.filePath(QStringLiteral("schedule.QRP"));
    QString caption, panel, reopenedPanel;
    auto whenShown = [](const std::function<void(TQRStandardPreview &)> &act) {
        auto *poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
            TQRStandardPreview *preview = QRPrinter()->StandardPreview();
            if (preview && preview->Window() && preview->Window()->isVisible()) {
                poll->deleteLater();
                act(*preview);
            }
        });
        poll->start(0);
    };
    whenShown([&](TQRStandardPreview &p) {
        caption = p.Window()->windowTitle();
        panel = p.PagePanel()->text();
        TQRStandardPreview::SetOnFileDialog([&](QFileDialog &dialog) {
            dialog.selectFile(saved);
            static_cast<QDialog &>(dialog).accept();
        });
        p.SaveClick();
        p.ExitClick();
    });
    EXPECT_EQ(ScheduleProgram::ShowSchedule(settings), 0);
    EXPECT_EQ(caption, ScheduleProgram::Caption());
    EXPECT_TRUE(panel.startsWith(QStringLiteral("Page 1 of ")));
    ASSERT_TRUE(QFile::exists(saved));

    whenShown([&](TQRStandardPreview &p) {
        reopenedPanel = p.PagePanel()->text();
        p.ExitClick();
    });
    EXPECT_EQ(ScheduleProgram::ShowFile(saved), 0);
    EXPECT_EQ(reopenedPanel, panel);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);

    // A file that is not a report: the message, exit code 1, nothing shown.
    QStringList messages;
    Application::Instance()->OnException = [&](QObject *, const Exception &e) { messages << e.Message(); };
    EXPECT_EQ(ScheduleProgram::ShowFile(settings), 1);
    EXPECT_EQ(messages, QStringList{QStringLiteral("%1 is not a report file, or it is damaged.").arg(settings)});
    // A settings file that does not read: the message, exit code 1.
    WriteSettings(settings, {"not a number"}, {});
    messages.clear();
    EXPECT_EQ(ScheduleProgram::ShowSchedule(settings), 1);
    EXPECT_EQ(messages.size(), 1);
}

namespace {
struct OptionRow {
    const char *Name, *Option;
    QString (*Answer)();
};
class ScheduleOption : public Schedule, public ::testing::WithParamInterface<OptionRow> {};
} // namespace

// The program answers --help and --version without a display and exits.
TEST_P(ScheduleOption, PrintsItsAnswerAndExits)
{
    // Every program of the project lands in one folder.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-schedule");
    if (!QFile::exists(program))
        GTEST_SKIP() << "the program is not built";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.start(program, {QString::fromLatin1(GetParam().Option)});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), GetParam().Answer());
}

INSTANTIATE_TEST_SUITE_P(Schedule, ScheduleOption,
                         ::testing::Values(OptionRow{"Help", "--help", ScheduleProgram::UsageText},
                                           OptionRow{"Version", "--version", ScheduleProgram::VersionText}),
                         [](const auto &info) { return std::string(info.param.Name); });

namespace {

struct SourceRow {
    const char *name;
    QString source;
    bool shortened;
};

class ScheduleSource : public Schedule, public ::testing::WithParamInterface<SourceRow> {};

} // namespace

// The title's "Values from" line fits its width: a long path is shortened in the middle,
// so its start and its file name both show; a short one stands as it is.
TEST_P(ScheduleSource, ShowsTheWholePathOrItsBothEnds)
{
    const SourceRow &row = GetParam();
    Npv::CashFlows flows{};
    TScheduleReport form(TDiscountSchedule(flows, {4, 5, 6, 7, 8}), row.source);
    const QString shown = form.lblSource->Caption();
    EXPECT_LE(QFontMetrics(form.lblSource->Font()).horizontalAdvance(shown), form.lblSource->width());
    if (row.shortened) {
        EXPECT_TRUE(shown.startsWith(QStringLiteral("Values from ") + row.source.left(10))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QStringLiteral("/tlm.ini"))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    } else {
        EXPECT_EQ(shown, QStringLiteral("Values from ") + row.source);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ScheduleSource,
                         ::testing::Values(SourceRow{"Short", QStringLiteral("/home/ann/tlm.ini"), false},
                                           SourceRow{"Long",
                                                     QStringLiteral("/home/ann/") +
                                                         QStringLiteral("a rather long folder name/").repeated(12) +
                                                         QStringLiteral("tlm.ini"),
                                                     true}),
                         [](const ::testing::TestParamInfo<SourceRow> &info) { return std::string(info.param.name); });

namespace {

struct FooterPlaceRow {
    const char *name;
    // How far into the window where the first rate's last year line still fits on page 1
    // but its footer would not the title moves that line; -1 keeps the designed title.
    int into;
};

class ScheduleFooterPlace : public Schedule, public ::testing::WithParamInterface<FooterPlaceRow> {};

} // namespace

// A rate's footer prints on the page of the rate's last year line, wherever the page ends.
TEST_P(ScheduleFooterPlace, KeepsTheFooterWithTheLastYearLine)
{
    PdfPrinter pdf;
    Npv::CashFlows flows{};
    for (int n = 0; n < Npv::YearCount; ++n)
        flows[n] = 100;
    TScheduleReport form(TDiscountSchedule(flows, {4, 5, -100, 7, 8}), QStringLiteral("test settings"));
    form.Rep->SetShowProgress(false);
    if (GetParam().into >= 0) {
        QRPrinter()->SetOrientation(poPortrait);
        QRPrinter()->ComputeMetrics();
        const int limit = QRPrinter()->PageHeight() - form.PageFooter->Height();
        const int firstRate = form.ColumnHeader->Height() + form.RateHeader->Height() +
                              Npv::YearCount * form.YearDetail->Height();
        form.Title->SetHeight(limit - form.RateFooter->Height() - firstRate + GetParam().into);
    }
    std::vector<int> lastLinePages;
    std::vector<int> footerPages;
    int lastPage = 0;
    form.YearDetail->AfterPrint = [&](TQRBand *, bool printed) {
        if (printed)
            lastPage = form.Rep->PageNumber();
    };
    form.RateFooter->AfterPrint = [&](TQRBand *, bool printed) {
        if (!printed)
            return;
        lastLinePages.push_back(lastPage);
        footerPages.push_back(form.Rep->PageNumber());
        lastPage = 0;
    };
    int pages = 0;
    QRPrinter()->OnPreview = [&pages] { pages = QRPrinter()->PageCount(); };
    form.Rep->Preview();
    EXPECT_GE(pages, 2);
    ASSERT_EQ(footerPages.size(), 5u);
    // The rate that cannot discount has no year line; its footer follows its heading.
    lastLinePages[2] = footerPages[2];
    EXPECT_EQ(footerPages, lastLinePages);
}

INSTANTIATE_TEST_SUITE_P(Breaks, ScheduleFooterPlace,
                         ::testing::Values(FooterPlaceRow{"DesignedTitle", -1}, FooterPlaceRow{"FooterJustTooLow", 0},
                                           FooterPlaceRow{"FooterHalfBelowTheLine", 20},
                                           FooterPlaceRow{"LastLineEndingOnTheLine", 39}),
                         [](const ::testing::TestParamInfo<FooterPlaceRow> &info) {
                             return std::string(info.param.name);
                         });

namespace {

struct AnswerRow {
    const char *name;
    Npv::CashFlows flows;
    std::array<double, Npv::RateCount> rates;
    // What each group's payback line says, for the rates that discount.
    QStringList paybacks;
    // The closing summary as read, its white space simplified.
    const char *summary;
};

void PrintTo(const AnswerRow &row, std::ostream *os)
{
    *os << row.name;
}

class ScheduleAnswers : public Schedule, public ::testing::WithParamInterface<AnswerRow> {};

} // namespace

// Each rate's footer tells its discounted payback year, and the summary after the last
// group gives the internal rates of return, saying why when there are several or none.
TEST_P(ScheduleAnswers, FootersGivePaybackAndTheSummaryTheRatesOfReturn)
{
    const AnswerRow &row = GetParam();
    const QString text = PrintedSchedule(TDiscountSchedule(row.flows, row.rates));
    ASSERT_FALSE(text.isEmpty());
    QStringList paybacks;
    const QRegularExpression payback(QStringLiteral("Discounted payback\\s+(.+?)\\s*$"),
                                     QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &m : payback.globalMatch(text))
        paybacks << m.captured(1);
    EXPECT_EQ(paybacks, row.paybacks);

    const qsizetype lastFooter = text.lastIndexOf(QStringLiteral("Discounted payback"));
    const QRegularExpressionMatch summary =
        QRegularExpression(QStringLiteral("Internal rates? of return.*?(?=Tallowmere discounting schedule)"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(text, lastFooter);
    ASSERT_TRUE(summary.hasMatch()) << text.toStdString();
    EXPECT_EQ(summary.captured().simplified(), QString::fromUtf8(row.summary));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScheduleAnswers,
    ::testing::Values(
        // The net present value is zero at 10 % and at 20 %: above zero between them.
        AnswerRow{"TwoRates",
                  {-100, 230, -132},
                  {5, 15, 25, 0, 12},
                  {"not within ten years", "year 2", "not within ten years", "not within ten years", "year 2"},
                  "Internal rates of return 10.000 % 20.000 % Several rates give a net present value of zero: the "
                  "cash flows change sign 2 times."},
        AnswerRow{"OneRate",
                  {-1000, 0, 0, 0, 0, 0, 0, 0, 0, 1500},
                  {0, 2, 4, 4.5, 4.7},
                  {"year 10", "year 10", "year 10", "year 10", "not within ten years"},
                  "Internal rate of return 4.608 %"},
        // −100 % cannot discount: its group has no payback line.
        AnswerRow{"AllPositive",
                  {20, 0, 100, 50},
                  {5, -100, 50, 0, 8},
                  {"year 1", "year 1", "year 1", "year 1"},
                  "Internal rate of return none No rate gives zero: the cash flows never change sign."},
        AnswerRow{"SignChangesWithoutARate",
                  {-100, 230, -140},
                  {5, 10, 15, 20, 25},
                  {"not within ten years", "not within ten years", "not within ten years", "not within ten years",
                   "not within ten years"},
                  "Internal rate of return none No rate gives zero, although the cash flows change sign 2 times."},
        AnswerRow{"AllZero",
                  {},
                  {4, 5, 6, 7, 8},
                  {"year 1", "year 1", "year 1", "year 1", "year 1"},
                  "Internal rate of return not defined Every rate gives zero: all cash flows are zero, so no internal "
                  "rate is defined."}),
    [](const ::testing::TestParamInfo<AnswerRow> &info) { return std::string(info.param.name); });

namespace {

// Records of RFC 4180 text: fields split at commas, a quoted field may hold commas,
// line ends and doubled quotes; every record must end in CRLF (else no records).
QList<QStringList> ReadCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            ++i;
            record << field;
            records << record;
            record.clear();
            field.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return {};
        } else {
            field += c;
        }
    }
    return record.isEmpty() && field.isEmpty() && !quoted ? records : QList<QStringList>{};
}

// A region with a decimal comma and a point between thousands.
TFormatSettings CommaDecimalSettings()
{
    TFormatSettings fs = UnitedStatesFormatSettings();
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QLatin1Char('.');
    return fs;
}

QStringList Captures(const QString &text, const QString &pattern)
{
    QStringList found;
    const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &m : re.globalMatch(text)) {
        QStringList parts;
        for (int i = 1; i <= re.captureCount(); ++i)
            parts << m.captured(i);
        found << parts.join(QLatin1Char('|'));
    }
    return found;
}

} // namespace

// The values file read back: every number, rounded as the report rounds it, is what
// the printed report shows, whatever the region's separators.
TEST_F(Schedule, CsvNumbersAreTheReportsNumbers)
{
    SetFormatSettings(CommaDecimalSettings());
    const QString settings = Dir.filePath(QStringLiteral("tlm.ini"));
    // Net present value zero at 10 % and at 20 %; −100 % cannot discount.
    WriteSettings(settings, {"-100000000", "230000000", "-132000000", "0", "0", "0", "0", "0", "0", "0"},
                  {"5", "15", "-100", "12", "25"});
    const QString file = Dir.filePath(QStringLiteral("schedule.csv"));
    ASSERT_EQ(ScheduleProgram::WriteCsv(settings, file), 0);
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QStringList> records = ReadCsv(QString::fromUtf8(csv.readAll()));
    ASSERT_FALSE(records.isEmpty()) << "not RFC 4180 text";
    EXPECT_EQ(records.first(), (QStringList{"section", "rate", "year", "cash_flow", "discount_factor", "present_value",
                                            "running_sum", "value", "note"}));

    // What the CSV says, in the report's words; and any field that is not a plain number.
    const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?(E[-+]?[0-9]+)?$"));
    auto value = [&](const QString &field) {
        if (!number.match(field).hasMatch())
            ADD_FAILURE() << "not a plain number: " << field.toStdString();
        return QLocale::c().toDouble(field);
    };
    QStringList rates, years, npvs, paybacks, internalRates, widths, lastSums;
    for (const QStringList &r : records.mid(1)) {
        widths << QString::number(r.size());
        if (r.size() != 9)
            continue;
        if (r[0] == QLatin1String("year")) {
            years << QStringList{r[2], TDiscountSchedule::CurrencyText(value(r[3])),
                                 TDiscountSchedule::FactorText(value(r[4])),
                                 TDiscountSchedule::CurrencyText(value(r[5]))}
                         .join(QLatin1Char('|'));
            if (r[2] == QLatin1String("10"))
                lastSums << TDiscountSchedule::CurrencyText(value(r[6]));
        } else if (r[0] == QLatin1String("npv")) {
            rates << TDiscountSchedule::PercentText(value(r[1]));
            npvs << (r[7].isEmpty() ? r[8] : TDiscountSchedule::CurrencyText(value(r[7])));
            if (!r[7].isEmpty())
                lastSums << TDiscountSchedule::CurrencyText(value(r[7]));
        } else if (r[0] == QLatin1String("payback") &&
                   r[8] != TDiscountSchedule::UndefinedText(TDiscountSchedule::rdFile)) {
            paybacks << (r[7].isEmpty() ? r[8] : QStringLiteral("year ") + r[7]);
        } else if (r[0] == QLatin1String("irr")) {
            internalRates << TDiscountSchedule::PercentText(value(r[7])) + QLatin1Char(' ') + r[8];
        }
    }
    EXPECT_EQ(years.size(), 4 * Npv::YearCount);
    widths.removeAll(QStringLiteral("9"));
    EXPECT_EQ(widths, QStringList()) << "fields per record";

    SavedValues values;
    values.Load(ProfileFile(settings));
    const QString text = PrintedSchedule(TDiscountSchedule::FromSavedValues(values));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(Captures(text, QStringLiteral("^\\s*Discount rate (.+ %)\\s*$")), rates);
    EXPECT_EQ(Captures(text, QStringLiteral("^\\s*(\\d+)\\s+(\\S+)\\s+([0-9.,]+)\\s+(\\S+)\\s*$")), years);
    EXPECT_EQ(PrintedFooters(text), npvs);
    EXPECT_EQ(Captures(text, QStringLiteral("Discounted payback\\s+(.+?)\\s*$")), paybacks);
    const QString several = QStringLiteral(
        " Several rates give a net present value of zero: the cash flows change sign 2 times.");
    EXPECT_EQ(internalRates, (QStringList{QStringLiteral("10,000 %") + several, QStringLiteral("20,000 %") + several}));
    EXPECT_EQ(Captures(text, QStringLiteral("^\\s*(?:Internal rates of return)?\\s+(\\S+ %)\\s*$")),
              (QStringList{QStringLiteral("10,000 %"), QStringLiteral("20,000 %")}));
    // Each rate's running sum at year 10 is its net present value; and one sample line.
    EXPECT_EQ(lastSums.size(), 8);
    EXPECT_EQ(lastSums.mid(0, 4), lastSums.mid(4, 4));
    EXPECT_TRUE(years.contains(QStringLiteral("2|$230.000.000,00|0,756144|$173.913.043,48")))
        << years.join(' ').toStdString();
}

namespace {

struct CsvRunRow {
    const char *name;
    // "%1" stands for a folder of the test's.
    QStringList args;
    int exitCode;
    // Whole-text patterns.
    const char *out;
    const char *err;
};

void PrintTo(const CsvRunRow &row, std::ostream *os)
{
    *os << row.name;
}

class ScheduleCsvRun : public Schedule, public ::testing::WithParamInterface<CsvRunRow> {};

} // namespace

// Values only: no display is needed, failures go to standard error with the exit status.
TEST_P(ScheduleCsvRun, WritesWithoutADisplay)
{
    const CsvRunRow &row = GetParam();
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-schedule");
    if (!QFile::exists(program))
        GTEST_SKIP() << "the program is not built";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(program, QStringList(row.args).replaceInStrings(QStringLiteral("%1"), Dir.path()));
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), row.exitCode);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    auto matches = [this](const char *pattern, const QString &text) {
        return QRegularExpression(
                   QString::fromUtf8(pattern).replace(QStringLiteral("%1"), QRegularExpression::escape(Dir.path())),
                   QRegularExpression::DotMatchesEverythingOption)
            .match(text)
            .hasMatch();
    };
    EXPECT_TRUE(matches(row.out, out)) << out.toStdString();
    EXPECT_TRUE(matches(row.err, err)) << err.toStdString();
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList())
        << "nothing left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ScheduleCsvRun,
    ::testing::Values(CsvRunRow{"FolderThatDoesNotExist",
                                {"--csv=%1/missing/schedule.csv"},
                                1,
                                "^$",
                                "^tallowmere-schedule: cannot write %1/missing/schedule\\.csv: .+\\n$"},
                      CsvRunRow{
                          "StandardOutput",
                          {"--csv=-"},
                          0,
                          "^section,rate,year,cash_flow,discount_factor,present_value,running_sum,value,note\\r\\n.*"
                          "\\nirr,[^\\n]*\\r\\n$",
                          "^$"},
                      CsvRunRow{"EmptyName", {"--csv="}, 2, "^$", "^tallowmere-schedule: --csv needs a file name.*\\n"},
                      CsvRunRow{"WithAReportFile",
                                {"--csv=%1/schedule.csv", "%1/schedule.QRP"},
                                2,
                                "^$",
                                "^tallowmere-schedule: --csv writes the saved values; it takes no report file\\n"}),
    [](const ::testing::TestParamInfo<CsvRunRow> &info) { return std::string(info.param.name); });

// The modified internal rate in every footer and in the mirr rows, financed at the
// group's rate and reinvested at the one given. With an outlay in year 1 and a return
// in year 5: at 0 %, PV = -1000 and FV = 1000 * 2^5 when reinvested at 100 %, so the
// rate is 32^(1/10) - 1 = 41.421 %; −100 % has none.
TEST_F(Schedule, ModifiedRatesShowInTheFootersAndTheValues)
{
    const QString settings = Dir.filePath(QStringLiteral("tlm.ini"));
    WriteSettings(settings, {"-1000", "0", "0", "0", "1000", "0", "0", "0", "0", "0"}, {"0", "-100", "0", "7", "8"});
    const QString file = Dir.filePath(QStringLiteral("schedule.csv"));
    ASSERT_EQ(ScheduleProgram::WriteCsv(settings, file, 100), 0);
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QStringList> records = ReadCsv(QString::fromUtf8(csv.readAll()));
    ASSERT_FALSE(records.isEmpty());
    QStringList sections, mirr;
    for (const QStringList &r : records.mid(1)) {
        if (sections.isEmpty() || sections.last() != r[0])
            sections << r[0];
        if (r[0] == QLatin1String("mirr"))
            mirr << r[1] + QLatin1Char('|') + r[7].left(8) + QLatin1Char('|') + r[8];
    }
    EXPECT_EQ(sections, (QStringList{"year", "npv", "payback", "mirr", "irr"}));
    ASSERT_EQ(mirr.size(), 5);
    EXPECT_EQ(mirr[0], QStringLiteral("0|41.42135|"));
    EXPECT_EQ(mirr[1], QStringLiteral("-100||none"));
    EXPECT_EQ(mirr[2], mirr[0]);
    EXPECT_TRUE(mirr[3].startsWith(QStringLiteral("7|"))) << mirr[3].toStdString();

    SavedValues values;
    values.Load(ProfileFile(settings));
    const QString text = PrintedSchedule(TDiscountSchedule::FromSavedValues(values, 100));
    EXPECT_EQ(Captures(text, QStringLiteral("Modified internal rate, reinvested at (\\S+ %)\\s+(\\S+(?: %)?)\\s*$")),
              (QStringList{"100.000 %|41.421 %", "100.000 %|none", "100.000 %|41.421 %",
                           QStringLiteral("100.000 %|") +
                               TDiscountSchedule::ModifiedRateText(
                                   TDiscountSchedule::FromSavedValues(values, 100).RateAt(3).ModifiedRate),
                           QStringLiteral("100.000 %|") +
                               TDiscountSchedule::ModifiedRateText(
                                   TDiscountSchedule::FromSavedValues(values, 100).RateAt(4).ModifiedRate)}));
    // Without a reinvestment rate each group reinvests at its own.
    const QString own = PrintedSchedule(TDiscountSchedule::FromSavedValues(values));
    EXPECT_EQ(Captures(own, QStringLiteral("Modified internal rate, reinvested at (\\S+ %)")),
              (QStringList{"0.000 %", "-100.000 %", "0.000 %", "7.000 %", "8.000 %"}));
    // 1000 reinvested four years at 0 %: 1000 / 1000, no growth at all.
    EXPECT_EQ(Captures(own, QStringLiteral("Modified internal rate, reinvested at 0.000 %\\s+(\\S+ %)")),
              (QStringList{"0.000 %", "0.000 %"}));
}

// The last page of the printed schedule is the NPV profile.
TEST_F(Schedule, LastPageIsTheProfile)
{
    Npv::CashFlows flows{-100000, 230000, -132000};
    int pages = 0;
    const QString text = PrintedSchedule(TDiscountSchedule(flows, {4, 5, 12, 15, 25}), &pages);
    QStringList printed = text.split(QLatin1Char('\f'));
    while (!printed.isEmpty() && printed.last().trimmed().isEmpty())
        printed.removeLast();
    ASSERT_EQ(printed.size(), pages);
    const QString last = printed.last();
    for (const char *expected : {"NPV Profile", "Net present value by discount rate", "IRR 10.000 %", "IRR 20.000 %",
                                 "12.000 %: $113.88", "Discount rate", "Page"})
        EXPECT_TRUE(last.contains(QString::fromUtf8(expected))) << expected << "\n" << last.toStdString();
    EXPECT_FALSE(last.contains(QStringLiteral("Internal rates of return"))) << "a page of its own";
}

// Without a display the picture is written, alone or beside the values.
TEST_F(Schedule, ProfileIsWrittenWithoutADisplay)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-schedule");
    if (!QFile::exists(program))
        GTEST_SKIP() << "the program is not built";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    auto run = [&](const QStringList &args) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, args);
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.readAllStandardOutput(), QByteArray());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    const QString svg = Dir.filePath(QStringLiteral("profile.svg"));
    const QString csv = Dir.filePath(QStringLiteral("schedule.csv"));
    ASSERT_EQ(run({QStringLiteral("--profile=") + svg, QStringLiteral("--csv=") + csv}), 0);
    EXPECT_TRUE(QSvgRenderer(svg).isValid());
    QFile values(csv);
    ASSERT_TRUE(values.open(QIODevice::ReadOnly));
    EXPECT_TRUE(values.readLine().startsWith("section,rate,year"));
    const QString png = Dir.filePath(QStringLiteral("profile.png"));
    ASSERT_EQ(run({QStringLiteral("--profile=") + png}), 0);
    EXPECT_EQ(QImage(png).size(), QSize(800, 520));
    EXPECT_EQ(run({QStringLiteral("--profile=") + Dir.filePath(QStringLiteral("missing/p.svg"))}), 1);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), (QStringList{"profile.png", "profile.svg", "schedule.csv"}));
}
