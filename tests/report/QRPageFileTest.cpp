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
    EXPECT_EQ(bytes.mid(20, 104 - 20), QByteArray(104 - 20, '\0'));
    const double saved = At<double>(bytes, 104);
    EXPECT_GE(saved, before);
    EXPECT_LE(saved, after);
    EXPECT_EQ(bytes.at(112), 1);
    EXPECT_EQ(bytes.mid(113, 372 - 113), QByteArray(372 - 113, '\0'));

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

namespace {

// A saved report of several pages and where its first two page records begin.
struct SavedFile {
    QByteArray Bytes;
    int PageCount = 0;
    qsizetype FirstRecord = QRPageFile::HeaderSize, SecondRecord = 0;
};

// The second page's picture replaced by one with a command the player cannot take safely:
// a polyline announcing two billion points, with a true checksum.
void ReplaceSecondPicture(SavedFile &f)
{
    const QByteArray hostile = PictureBuilder()
                                   .Add(12, PictureBuilder::Params(
                                                [](QDataStream &s) { s << quint32(0x7fffffff) << 1.0 << 2.0; }))
                                   .Bytes();
    const QByteArray record = QRPageFile::EncodeRecordHeader(quint32(8 + hostile.size())) + hostile +
                              QRPageFile::EncodeOffset(qint32(f.SecondRecord));
    f.Bytes = f.Bytes.left(f.SecondRecord) + record +
              f.Bytes.mid(f.SecondRecord + At<quint32>(f.Bytes, f.SecondRecord + 4) + 4);
}

// The page the damage is found on: none for a file that is no report at all, or the
// last page, or the one after it.
enum : int { NotAReport = 0, LastPage = -1, PastLastPage = -2 };

struct BadFileRow {
    const char *Name;
    void (*Damage)(SavedFile &);
    int Page;
};

const BadFileRow BadFiles[] = {
    {"Empty", [](SavedFile &f) { f.Bytes.clear(); }, NotAReport},
    {"HeaderCutShort", [](SavedFile &f) { f.Bytes.truncate(371); }, NotAReport},
    {"NoPages", [](SavedFile &f) { Put<qint32>(f.Bytes, 16, 0); }, NotAReport},
    {"NegativePageCount", [](SavedFile &f) { Put<qint32>(f.Bytes, 16, -3); }, NotAReport},
    {"MorePagesThanTheFileCanHold", [](SavedFile &f) { Put<qint32>(f.Bytes, 16, 0x7fffffff); }, NotAReport},
    {"PageOfNoWidth", [](SavedFile &f) { Put<qint32>(f.Bytes, 8, 0); }, NotAReport},
    {"PageAMileHigh", [](SavedFile &f) { Put<qint32>(f.Bytes, 4, 6000000); }, NotAReport},
    {"OnePageMoreThanThereAre", [](SavedFile &f) { Put<qint32>(f.Bytes, 16, f.PageCount + 1); }, PastLastPage},
    {"CutInsideTheFirstPage", [](SavedFile &f) { f.Bytes.truncate(f.FirstRecord + 100); }, 1},
    {"CutBeforeTheLastOffset", [](SavedFile &f) { f.Bytes.chop(2); }, LastPage},
    {"RecordWithoutItsMagic", [](SavedFile &f) { f.Bytes[f.FirstRecord] = 'X'; }, 1},
    {"RecordLargerThanTheFile", [](SavedFile &f) { Put<quint32>(f.Bytes, f.FirstRecord + 4, 0xfffffff0u); }, 1},
    {"RecordSmallerThanAPicture", [](SavedFile &f) { Put<quint32>(f.Bytes, f.FirstRecord + 4, 12); }, 1},
    {"OffsetNotTheRecords", [](SavedFile &f) { Put<qint32>(f.Bytes, f.SecondRecord - 4, 7); }, 1},
    {"PictureBytesChanged", [](SavedFile &f) { f.Bytes[f.FirstRecord + 200] ^= 0x5a; }, 1},
    {"PictureThePlayerCannotTake", ReplaceSecondPicture, 2},
};

class BadPageFile : public PageFile, public ::testing::WithParamInterface<BadFileRow> {};

} // namespace

TEST_P(BadPageFile, EndsInAClearMessageAndLeavesTheShownReport)
{
    SavedFile file;
    const QString good = SaveRichReport(40, nullptr, &file.PageCount);
    ASSERT_GE(file.PageCount, 2);
    file.Bytes = ReadAll(good);
    file.SecondRecord = file.FirstRecord + At<quint32>(file.Bytes, file.FirstRecord + 4) + 4;
    GetParam().Damage(file);
    const QString bad = Path(QStringLiteral("bad.QRP"));
    WriteAll(bad, file.Bytes);

    // A report already shown stays exactly as it was, on the page it was showing.
    QRPrinter()->Load(good);
    ASSERT_EQ(QRPrinter()->Status(), stFinished);
    QRPrinter()->SetCurrentPage(2);
    const QPicture *shown = QRPrinter()->Page();
    const int page = GetParam().Page;
    const QString expected = page == NotAReport ? QStringLiteral("%1 is not a report file, or it is damaged.").arg(bad)
                                                : QStringLiteral("Page %1 of the report file %2 is damaged.")
                                                      .arg(page == LastPage       ? file.PageCount
                                                           : page == PastLastPage ? file.PageCount + 1
                                                                                  : page)
                                                      .arg(bad);
    EXPECT_EQ(LoadFailure(bad), expected);
    EXPECT_EQ(QRPrinter()->Status(), stFinished);
    EXPECT_EQ(QRPrinter()->PageCount(), file.PageCount);
    EXPECT_EQ(QRPrinter()->CurrentPage(), 2);
    EXPECT_EQ(QRPrinter()->Page(), shown);
    // The good file still loads after it.
    EXPECT_EQ(LoadFailure(good), QString());
    EXPECT_EQ(QRPrinter()->PageCount(), file.PageCount);
}

INSTANTIATE_TEST_SUITE_P(PageFile, BadPageFile, ::testing::ValuesIn(BadFiles),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(PageFile, MissingFileCannotBeOpened)
{
    EXPECT_EQ(LoadFailure(Path(QStringLiteral("missing.QRP"))),
              QStringLiteral("The report file %1 cannot be opened.").arg(Path(QStringLiteral("missing.QRP"))));
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
