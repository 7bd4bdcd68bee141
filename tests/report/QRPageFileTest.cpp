#include "PictureBuilder.h"
#include "RichReport.h"

#include "platform/core/Exceptions.h"
#include "report/QRPageFile.h"
#include "report/QRPrinter.h"
#include "report/QRProgressForm.h"

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

template <typename T>
T At(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

template <typename T>
void Put(QByteArray &bytes, qsizetype offset, T value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

// The message of the exception Load raises, empty when it raises none.
QString LoadFailure(const QString &path)
{
    try {
        QRPrinter()->Load(path);
    } catch (const Exception &e) {
        return e.Message();
    }
    return QString();
}

// Runs act on the progress window as soon as it is on screen: the window sets its
// text (and lets events run) before it shows itself.
void OnProgressWindow(const std::function<void(QDialog &)> &act)
{
    auto *poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, act] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(window);
            if (dialog && dialog->isVisible() && dialog->windowTitle() == QRPrinter()->ProgressCaption()) {
                act(*dialog);
                poll->deleteLater();
                return;
            }
        }
        if (++*tries > 1000)
            poll->deleteLater();
    });
    poll->start(0);
}

void CancelFromTheProgressWindow()
{
    OnProgressWindow([](QDialog &window) {
        if (auto *cancel = window.findChild<QPushButton *>())
            cancel->click();
    });
}

class PageFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QRPrinter()->PrinterOK());
        QRPrinter()->SetShowProgress(false);
        QRPrinter()->SetOrientation(poPortrait);
        QRPrinter()->ComputeMetrics();
    }
    void TearDown() override
    {
        QRPrinter()->ClearPages();
        QRPrinter()->SetShowProgress(true);
        QRPrinter()->SetOrientation(poPortrait);
    }
    QString Path(const QString &name) const { return Dir.filePath(name); }

    // A saved multi-page report; its pages as they were painted before saving.
    QString SaveRichReport(int records, std::vector<QImage> *painted = nullptr, int *pageCount = nullptr)
    {
        const QString path = Path(QStringLiteral("rich.QRP"));
        RichReport form(records);
        PreparePages(*form.Report, [&] {
            if (painted)
                *painted = PaintPages();
            if (pageCount)
                *pageCount = QRPrinter()->PageCount();
            QRPrinter()->Save(path);
        });
        return path;
    }

    PrinterScope Scope;
    QTemporaryDir Dir;
};

} // namespace

TEST_F(PageFile, SaveThenLoadGivesTheSamePagesPixelForPixel)
{
    std::vector<QImage> before;
    int pageCount = 0;
    const int pageWidth = QRPrinter()->PageWidth();
    const int pageHeight = QRPrinter()->PageHeight();
    const QString path = SaveRichReport(90, &before, &pageCount);
    ASSERT_GE(pageCount, 3);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);

    QRPrinter()->Load(path);
    EXPECT_EQ(QRPrinter()->Status(), stFinished);
    EXPECT_EQ(QRPrinter()->CurrentPage(), 1);
    ASSERT_EQ(QRPrinter()->PageCount(), pageCount);
    EXPECT_EQ(QRPrinter()->PageWidth(), pageWidth);
    EXPECT_EQ(QRPrinter()->PageHeight(), pageHeight);
    // The sheet around a loaded page is 110 % of it, halves to the even neighbour.
    EXPECT_EQ(QRPrinter()->SheetWidth(), QRPageFile::SheetSide(pageWidth));
    EXPECT_EQ(QRPrinter()->SheetHeight(), QRPageFile::SheetSide(pageHeight));
    EXPECT_NEAR(QRPrinter()->SheetWidth(), pageWidth * 1.1, 0.5);
    EXPECT_NEAR(QRPrinter()->SheetHeight(), pageHeight * 1.1, 0.5);

    // Pages with something on them: a blank page would compare equal to anything blank.
    ASSERT_FALSE(before.empty());
    int inked = 0;
    for (int y = 0; y < before[0].height(); y += 2)
        for (int x = 0; x < before[0].width(); x += 2)
            inked += before[0].pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 1000);

    // The pages are painted on sheets of the old size for the comparison.
    const std::vector<QImage> after = PaintPages();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        const QImage a = after[i].copy(0, 0, before[i].width(), before[i].height());
        EXPECT_TRUE(a == before[i]) << "page " << i + 1 << " differs";
    }
    // A loaded page prints: a store that is finished takes the usual road.
    QRPrinter()->SetCurrentPage(pageCount);
    EXPECT_EQ(QRPrinter()->CurrentPage(), pageCount);
}

TEST_F(PageFile, SheetSideRoundsHalvesToTheEvenNeighbour)
{
    const struct {
        int Page, Sheet;
    } rows[] = {{10, 11}, {15, 16}, {25, 28}, {5, 6}, {35, 38}, {45, 50}, {748, 823}, {1080, 1188}, {1, 1}};
    for (const auto &row : rows)
        EXPECT_EQ(QRPageFile::SheetSide(row.Page), row.Sheet) << row.Page;
}

TEST_F(PageFile, HeaderAndRecordsAreLaidOutAsDesigned)
{
    int pageCount = 0;
    const double before = QRPageFile::DaysSince1899(QDateTime::currentDateTime());
    const QString path = SaveRichReport(40, nullptr, &pageCount);
    const double after = QRPageFile::DaysSince1899(QDateTime::currentDateTime());
    const QByteArray bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), QRPageFile::HeaderSize);

    EXPECT_EQ(At<quint16>(bytes, 0), 1);
    EXPECT_EQ(At<quint16>(bytes, 2), 100);
    EXPECT_EQ(At<qint32>(bytes, 4), QRPrinter()->PageHeight());
    EXPECT_EQ(At<qint32>(bytes, 8), QRPrinter()->PageWidth());
    EXPECT_EQ(At<qint32>(bytes, 12), QRScreenPixelsPerInch());
    EXPECT_EQ(At<qint32>(bytes, 16), pageCount);
    for (int i = 20; i < 104; ++i)
        ASSERT_EQ(bytes.at(i), 0) << "offset " << i;
    const double saved = At<double>(bytes, 104);
    EXPECT_GE(saved, before);
    EXPECT_LE(saved, after);
    EXPECT_EQ(bytes.at(112), 1);
    for (int i = 113; i < 372; ++i)
        ASSERT_EQ(bytes.at(i), 0) << "offset " << i;

    // Record after record: "PAGE", the total size, the picture, the record's offset.
    qsizetype at = QRPageFile::HeaderSize;
    for (int page = 1; page <= pageCount; ++page) {
        ASSERT_LE(at + 8, bytes.size());
        EXPECT_EQ(bytes.mid(at, 4), QByteArray("PAGE"));
        const quint32 total = At<quint32>(bytes, at + 4);
        EXPECT_EQ(bytes.mid(at + 8, 4), QByteArray("QPIC"));
        ASSERT_LE(at + total + 4, bytes.size());
        EXPECT_EQ(At<qint32>(bytes, at + total), at);
        at += total + 4;
    }
    EXPECT_EQ(at, bytes.size());
    // 30 December 1899 is day 0; noon is half a day.
    EXPECT_DOUBLE_EQ(QRPageFile::DaysSince1899(QDateTime(QDate(1900, 1, 1), QTime(12, 0))), 2.5);
}

TEST_F(PageFile, LandscapeFlagTurnsTheLoadedOrientation)
{
    const QString path = SaveRichReport(5);
    QByteArray bytes = ReadAll(path);
    bytes[112] = 0;
    const QString landscape = Path(QStringLiteral("landscape.QRP"));
    WriteAll(landscape, bytes);
    QRPrinter()->Load(landscape);
    EXPECT_EQ(QRPrinter()->Orientation(), poLandscape);
    // Any value but 0 reads as portrait.
    bytes[112] = 7;
    WriteAll(landscape, bytes);
    QRPrinter()->Load(landscape);
    EXPECT_EQ(QRPrinter()->Orientation(), poPortrait);
}

TEST_F(PageFile, CancelledSaveLeavesTheEarlierFileUntouched)
{
    const QString path = Path(QStringLiteral("kept.QRP"));
    WriteAll(path, "the file the user had");
    const QString fresh = Path(QStringLiteral("fresh.QRP"));
    RichReport form(60);
    PreparePages(*form.Report, [&] {
        QRPrinter()->SetShowProgress(true);
        CancelFromTheProgressWindow();
        QRPrinter()->Save(path);
        EXPECT_TRUE(QRPrinter()->Cancelled());
        CancelFromTheProgressWindow();
        QRPrinter()->Save(fresh);
        EXPECT_TRUE(QRPrinter()->Cancelled());
        // The pages are still there to save again.
        EXPECT_EQ(QRPrinter()->Status(), stFinished);
        QRPrinter()->Save(Path(QStringLiteral("whole.QRP")));
        EXPECT_FALSE(QRPrinter()->Cancelled());
    });
    EXPECT_EQ(ReadAll(path), QByteArray("the file the user had"));
    EXPECT_FALSE(QFile::exists(fresh));
    // Nothing but the two files is left in the folder: no temporary file remains.
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("kept.QRP"), QStringLiteral("whole.QRP")}));
}

TEST_F(PageFile, SaveThatCannotWriteRaisesAndCreatesNothing)
{
    const QString folder = Path(QStringLiteral("a folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString missing = Path(QStringLiteral("no such folder/report.QRP"));
    RichReport form(5);
    PreparePages(*form.Report, [&] {
        for (const QString &target : {folder, missing}) {
            try {
                QRPrinter()->Save(target);
                ADD_FAILURE() << "no error for " << target.toStdString();
            } catch (const Exception &e) {
                EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to %1").arg(target));
            }
        }
    });
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QFile::exists(missing));

    // Without finished pages there is nothing to save and no file appears.
    QRPrinter()->Save(Path(QStringLiteral("idle.QRP")));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("idle.QRP"))));
}

TEST_F(PageFile, BadFilesEndInAClearMessageAndLeaveTheShownReport)
{
    int pageCount = 0;
    const QString good = SaveRichReport(40, nullptr, &pageCount);
    const QByteArray bytes = ReadAll(good);
    ASSERT_GE(pageCount, 2);
    const qsizetype firstRecord = QRPageFile::HeaderSize;
    const quint32 firstTotal = At<quint32>(bytes, firstRecord + 4);
    const qsizetype secondRecord = firstRecord + firstTotal + 4;

    auto with = [&](const std::function<void(QByteArray &)> &change) {
        QByteArray b = bytes;
        change(b);
        return b;
    };
    // A picture of the second page with one command the player cannot take safely:
    // a polyline announcing two billion points, with a true checksum.
    const QByteArray hostile =
        PictureBuilder()
            .Add(12, PictureBuilder::Params([](QDataStream &s) { s << quint32(0x7fffffff) << 1.0 << 2.0; }))
            .Bytes();
    auto replaceSecondPicture = [&](QByteArray &b) {
        QByteArray record = QRPageFile::EncodeRecordHeader(quint32(8 + hostile.size())) + hostile
                            + QRPageFile::EncodeOffset(qint32(secondRecord));
        b = b.left(secondRecord) + record + b.mid(secondRecord + At<quint32>(b, secondRecord + 4) + 4);
    };
    const QString notReport = QStringLiteral("%1 is not a report file, or it is damaged.");
    const QString damaged = QStringLiteral("Page %1 of the report file %2 is damaged.");
    const struct {
        const char *Name;
        QByteArray File;
        QString Message; // %1 the page, %2 the file, or %1 the file
        int Page;
    } rows[] = {
        {"empty file", QByteArray(), notReport, 0},
        {"header cut short", bytes.left(371), notReport, 0},
        {"no pages", with([](QByteArray &b) { Put<qint32>(b, 16, 0); }), notReport, 0},
        {"negative page count", with([](QByteArray &b) { Put<qint32>(b, 16, -3); }), notReport, 0},
        {"more pages than the file can hold", with([](QByteArray &b) { Put<qint32>(b, 16, 0x7fffffff); }), notReport,
         0},
        {"page of no width", with([](QByteArray &b) { Put<qint32>(b, 8, 0); }), notReport, 0},
        {"page a mile high", with([](QByteArray &b) { Put<qint32>(b, 4, 6000000); }), notReport, 0},
        {"one page more than there are", with([&](QByteArray &b) { Put<qint32>(b, 16, pageCount + 1); }), damaged,
         pageCount + 1},
        {"file cut inside the first page", bytes.left(firstRecord + 100), damaged, 1},
        {"file cut before the last offset", bytes.chopped(2), damaged, pageCount},
        {"record without its magic", with([&](QByteArray &b) { b[firstRecord] = 'X'; }), damaged, 1},
        {"record larger than the file", with([&](QByteArray &b) { Put<quint32>(b, firstRecord + 4, 0xfffffff0u); }),
         damaged, 1},
        {"record smaller than a picture", with([&](QByteArray &b) { Put<quint32>(b, firstRecord + 4, 12); }), damaged,
         1},
        {"offset not the record's", with([&](QByteArray &b) { Put<qint32>(b, secondRecord - 4, 7); }), damaged, 1},
        {"picture bytes changed",
         with([&](QByteArray &b) { b[firstRecord + 200] = char(b[firstRecord + 200] ^ 0x5a); }), damaged, 1},
        {"picture the player cannot take", with(replaceSecondPicture), damaged, 2},
    };
    const QString bad = Path(QStringLiteral("bad.QRP"));
    for (const auto &row : rows) {
        WriteAll(bad, row.File);
        // A report already shown stays exactly as it was, on the page it was showing.
        QRPrinter()->Load(good);
        ASSERT_EQ(QRPrinter()->Status(), stFinished);
        QRPrinter()->SetCurrentPage(2);
        const QPicture *shown = QRPrinter()->Page();
        const QString expected = row.Page == 0 ? row.Message.arg(bad) : row.Message.arg(row.Page).arg(bad);
        EXPECT_EQ(LoadFailure(bad), expected) << row.Name;
        EXPECT_EQ(QRPrinter()->Status(), stFinished) << row.Name;
        EXPECT_EQ(QRPrinter()->PageCount(), pageCount) << row.Name;
        EXPECT_EQ(QRPrinter()->CurrentPage(), 2) << row.Name;
        EXPECT_EQ(QRPrinter()->Page(), shown) << row.Name;
    }
    EXPECT_EQ(LoadFailure(Path(QStringLiteral("missing.QRP"))),
              QStringLiteral("The report file %1 cannot be opened.").arg(Path(QStringLiteral("missing.QRP"))));
    // The good file still loads after all that.
    EXPECT_EQ(LoadFailure(good), QString());
    EXPECT_EQ(QRPrinter()->PageCount(), pageCount);
}

TEST_F(PageFile, LoadNeverTouchesAStoreBeingRecorded)
{
    const QString path = SaveRichReport(5);
    TQRPrinter *printer = QRPrinter();
    printer->BeginDoc();
    printer->Canvas()->drawLine(0, 0, 100, 100);
    EXPECT_EQ(LoadFailure(path), QStringLiteral("A report is being prepared; no report file can be loaded now."));
    EXPECT_EQ(printer->Status(), stBusy);
    EXPECT_NE(printer->Canvas(), nullptr);
    printer->EndDoc();
    EXPECT_EQ(printer->PageCount(), 1);
}

TEST_F(PageFile, LoadShowsItsProgressAndReadsFromAnyDevice)
{
    int pageCount = 0;
    const QString path = SaveRichReport(40, nullptr, &pageCount);
    QByteArray bytes = ReadAll(path);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    QRPrinter()->SetShowProgress(true);
    QString shownText;
    OnProgressWindow([&](QDialog &window) {
        if (auto *label = window.findChild<QLabel *>())
            shownText = label->text();
    });
    QRPrinter()->Load(buffer, QStringLiteral("memory"));
    EXPECT_EQ(shownText, QStringLiteral("Loading report"));
    EXPECT_EQ(QRPrinter()->PageCount(), pageCount);
    // Loading does not heed Cancel: the flag is cleared and the file loads whole.
    EXPECT_FALSE(QRPrinter()->Cancelled());
}
