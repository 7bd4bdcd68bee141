#include "platform/core/Exceptions.h"
#include "update/core/InfoPage.h"

#include <gtest/gtest.h>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

TWfiProductInfo ReadPage(const QByteArray &page, TWfiDateFormat dateFormat = wfidDFSDate)
{
    TWfiProductInfo info;
    InfoPage::ParseInfoPage(InfoPage::SplitLines(page), TWfiTags::ProgramTags(), dateFormat, info);
    return info;
}

} // namespace

namespace {

struct VersionRow {
    const char *Name;
    TWfiVersionFormat Mode;
    const char *Current, *Product;
    bool Newer;
};

const VersionRow BuildNumbers[] = {
    {"NextBuild", wfivBuildNumber, "1.1.00", "1.1.01", true},
    {"NextMinor", wfivBuildNumber, "1.1.00", "1.2", true},
    {"Same", wfivBuildNumber, "1.1.00", "1.1.00", false},
    // Its last segment 1 meets the third segment 0.
    {"ShorterProduct", wfivBuildNumber, "1.1.00", "1.1", true},
    {"FourthSegmentNeverCompared", wfivBuildNumber, "1.1.00", "1.1.00.5", false},
    {"LeadingZeroReadsAsTheNumber", wfivBuildNumber, "1.1.00", "1.01.00", false},
    {"NextMajor", wfivBuildNumber, "1.1.00", "2.0", true},
    {"MajorOnly", wfivBuildNumber, "1.1.00", "2", true},
    {"OlderBuild", wfivBuildNumber, "1.1.00", "1.0.9", false},
    {"OlderMajor", wfivBuildNumber, "1.1.00", "0.9.99", false},
    {"EmptyProduct", wfivBuildNumber, "1.1.00", "", false},
    {"LettersProduct", wfivBuildNumber, "1.1.00", "abc", false},
    // x reads as 0, older than 1.
    {"LetterSegmentReadsAsZero", wfivBuildNumber, "1.1.00", "1.x.5", false},
    {"BeyondTheRunningVersionsSegments", wfivBuildNumber, "1.1", "1.1.5", false},
    {"NewerWithinTheRunningVersionsSegments", wfivBuildNumber, "1.1", "1.2.0", true},
    {"NoRunningVersionAgainstZero", wfivBuildNumber, "", "0.0.1", false},
    {"NoRunningVersion", wfivBuildNumber, "", "1", true},
    {"SignBelongsToTheNumber", wfivBuildNumber, "1.-1", "1.0", true},
    {"TwoDigitMajor", wfivBuildNumber, "9.9.9", "10", true},
};

const VersionRow Texts[] = {
    {"Later", wfivSimpleString, "1.1.00", "1.1.01", true},
    {"Same", wfivSimpleString, "1.1.00", "1.1.00", false},
    {"CharacterByCharacter", wfivSimpleString, "1.9", "1.10", false},
    {"ShorterProduct", wfivSimpleString, "1.1.00", "1.1", false},
    {"LowerCaseAfterCapital", wfivSimpleString, "B", "a", true},
    {"CapitalBeforeLowerCase", wfivSimpleString, "a", "B", false},
    {"TrailingBlank", wfivSimpleString, "1.1", "1.1 ", true},
    {"BothEmpty", wfivSimpleString, "", "", false},
    {"EmptyProduct", wfivSimpleString, "x", "", false},
};

class VersionComparison : public ::testing::TestWithParam<VersionRow> {};

} // namespace

TEST_P(VersionComparison, TellsANewerProduct)
{
    const VersionRow &row = GetParam();
    EXPECT_EQ(InfoPage::IsNewerVersion(QString::fromUtf8(row.Current), QString::fromUtf8(row.Product), row.Mode),
              row.Newer);
}

INSTANTIATE_TEST_SUITE_P(BuildNumber, VersionComparison, ::testing::ValuesIn(BuildNumbers),
                         [](const auto &info) { return std::string(info.param.Name); });
INSTANTIATE_TEST_SUITE_P(Text, VersionComparison, ::testing::ValuesIn(Texts),
                         [](const auto &info) { return std::string(info.param.Name); });

namespace {

struct EntryLineRow {
    const char *Name;
    const char *Line;
    bool Entry;
    const char *EntryName; // looked at only on an entry line
    const char *Content;
};

const EntryLineRow EntryLines[] = {
    {"Capitals", R"(<META HTTP-EQUIV="version" CONTENT="1.1.01">)", true, "version", "1.1.01"},
    {"IndentedLowerCaseTag", R"(  <meta http-equiv="version" CONTENT="1.1.01">)", true, "version", "1.1.01"},
    {"MixedCaseTag", R"(<Meta Http-Equiv="Version" CONTENT="2">)", true, "Version", "2"},
    // Lower-case content=: the value is read from the ninth character of the line.
    {"LowerCaseContent", R"(<META HTTP-EQUIV="version" content="1.1.01">)", true, "version", "TP-EQUIV="},
    // Blanks around the equals sign shift the name off its place.
    {"BlanksAroundTheEquals", R"(<META HTTP-EQUIV = "version" CONTENT="1">)", true, " ", "1"},
    // Two entries: the first name and the first value.
    {"TwoEntries", R"(<META HTTP-EQUIV="version" CONTENT="3"><META HTTP-EQUIV="date" CONTENT="4">)", true, "version",
     "3"},
    {"EmptyName", R"(<META HTTP-EQUIV="" CONTENT="empty">)", true, "", "empty"},
    {"EmptyContent", R"(<META HTTP-EQUIV="version" CONTENT="">)", true, "version", ""},
    {"ContentWithoutItsQuote", R"(<META HTTP-EQUIV="version" CONTENT="no end)", true, "version", "no end"},
    {"NameWithoutItsQuote", R"(<META HTTP-EQUIV="version)", true, "version", "TP-EQUIV="},
    {"TagOnly", R"(<META HTTP-EQUIV)", true, "", "TP-EQUIV"},
    {"NameInsteadOfHttpEquiv", R"(<META NAME="version" CONTENT="1.2">)", false, "", "1.2"},
    {"NotAMetaTag", R"(<p>META HTTP-EQUI</p>)", false, "", "HTTP-EQUI</p>"},
    {"Empty", "", false, "", ""},
};

class EntryLine : public ::testing::TestWithParam<EntryLineRow> {};

} // namespace

TEST_P(EntryLine, GivesItsNameAndContent)
{
    const EntryLineRow &row = GetParam();
    const QString line = QString::fromUtf8(row.Line);
    EXPECT_EQ(InfoPage::IsEntryLine(line), row.Entry);
    if (row.Entry) {
        EXPECT_EQ(InfoPage::EntryName(line), QString::fromUtf8(row.EntryName));
    }
    EXPECT_EQ(InfoPage::ExtractContent(line), QString::fromUtf8(row.Content));
}

INSTANTIATE_TEST_SUITE_P(InfoPage, EntryLine, ::testing::ValuesIn(EntryLines),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(InfoPage, ContentIsCappedAtOneThousandCharacters)
{
    const QString head = QStringLiteral(R"(<META HTTP-EQUIV="readme" CONTENT=")");
    const QString longValue(1500, QLatin1Char('x'));
    EXPECT_EQ(InfoPage::ExtractContent(head + longValue + QStringLiteral("\">")), QString(1000, QLatin1Char('x')));
    const QString exact(999, QLatin1Char('y'));
    EXPECT_EQ(InfoPage::ExtractContent(head + exact + QStringLiteral("\">")), exact);
    // The quote is the thousand-and-first character: not looked at.
    const QString thousand(1000, QLatin1Char('z'));
    EXPECT_EQ(InfoPage::ExtractContent(head + thousand + QStringLiteral("\">")), thousand);
}

TEST(InfoPage, LinesSplitAtEveryBreakForm)
{
    struct Row {
        QByteArray page;
        QStringList lines;
    };
    const Row rows[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\n", {""}},
        {"x", {"x"}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(InfoPage::SplitLines(row.page), row.lines) << row.page.toStdString();
    // Valid UTF-8 is decoded; anything else is taken byte for byte.
    EXPECT_EQ(InfoPage::SplitLines(QByteArray("caf\xc3\xa9")), QStringList{QStringLiteral("caf\u00e9")});
    EXPECT_EQ(InfoPage::SplitLines(QByteArray("caf\xe9")), QStringList{QStringLiteral("caf\u00e9")});
}

TEST(InfoPage, PageFillsEveryTaggedValue)
{
    const QByteArray page = "<HTML><HEAD>\r\n"
                            "<TITLE>Tallowmere</TITLE>\r\n"
                            "<META HTTP-EQUIV=\"name\" CONTENT=\"Corvane Software\">\r\n"
                            "<META HTTP-EQUIV=\"version\" CONTENT=\"1.1.01\">\r\n"
                            "<META HTTP-EQUIV=\"date\" CONTENT=\"May 2, 1999\">\r"
                            "<META HTTP-EQUIV=\"url\" CONTENT=\"http://www.corvane.example/files/tlm11.exe\">\n"
                            "<META HTTP-EQUIV=\"readme\" CONTENT=\"http://www.corvane.example/tlm.txt\">\n"
                            "<META HTTP-EQUIV=\"runparams\" CONTENT=\"/S /D\">\n"
                            "<META HTTP-EQUIV=\"sha256\" CONTENT=\"ABCDEF\">\n"
                            "<META HTTP-EQUIV=\"keywords\" CONTENT=\"npv\">\n"
                            "</HEAD><BODY>An entry broken over lines <META\r\n"
                            "HTTP-EQUIV=\"version\" CONTENT=\"9.9\"> is not read.</BODY></HTML>\r\n";
    const TWfiProductInfo info = ReadPage(page);
    EXPECT_EQ(info.ProductName, "Corvane Software");
    EXPECT_EQ(info.ProductAuthor, "Corvane Software"); // one entry fills both
    EXPECT_EQ(info.ProductVersion, "1.1.01");
    EXPECT_EQ(info.ProductDateStr, "May 2, 1999");
    EXPECT_EQ(info.ProductDate, QDate(1999, 5, 2));
    EXPECT_EQ(info.DownloadURL, "http://www.corvane.example/files/tlm11.exe");
    EXPECT_EQ(info.ProductReadMe, "http://www.corvane.example/tlm.txt");
    EXPECT_EQ(info.RunParams, "/S /D");
    EXPECT_EQ(info.UpdateSha256, "ABCDEF");
    EXPECT_TRUE(info.ProductAuthorEMail.isEmpty());
    EXPECT_TRUE(info.ProductReadMeExt.isEmpty());
    EXPECT_TRUE(info.RedirectURL.isEmpty());
}

TEST(InfoPage, NamesMatchWholeAndByCaseAndTheLastEntryWins)
{
    const TWfiProductInfo info = ReadPage("<META HTTP-EQUIV=\"version\" CONTENT=\"1.0\">\n"
                                          "<META HTTP-EQUIV=\"Version\" CONTENT=\"5.0\">\n"
                                          "<META HTTP-EQUIV=\"versions\" CONTENT=\"6.0\">\n"
                                          "<META HTTP-EQUIV=\"version\" CONTENT=\"1.2\">\n"
                                          "<META HTTP-EQUIV=\"Sha256\" CONTENT=\"no\">\n");
    EXPECT_EQ(info.ProductVersion, "1.2");
    EXPECT_TRUE(info.UpdateSha256.isEmpty());

    // A version entry without a version: the value is emptied again.
    EXPECT_TRUE(ReadPage("<META HTTP-EQUIV=\"version\" CONTENT=\"1.0\">\n"
                         "<META HTTP-EQUIV=\"version\" CONTENT=\"\">\n")
                    .ProductVersion.isEmpty());
}

TEST(InfoPage, EmptyNameFillsEveryUnusedTag)
{
    const TWfiProductInfo info = ReadPage("<META HTTP-EQUIV=\"\" CONTENT=\"x\">\n");
    EXPECT_EQ(info.ProductAuthorEMail, "x");
    EXPECT_EQ(info.ProductReadMeExt, "x");
    EXPECT_EQ(info.RedirectURL, "x");
    EXPECT_TRUE(info.ProductVersion.isEmpty());
    EXPECT_TRUE(info.ProductName.isEmpty());
}

TEST(InfoPage, ValuesWithoutEntriesAreLeftAlone)
{
    TWfiProductInfo info;
    info.ProductVersion = QStringLiteral("kept");
    InfoPage::ParseInfoPage({QStringLiteral("<html></html>")}, TWfiTags::ProgramTags(), wfidDFSDate, info);
    EXPECT_EQ(info.ProductVersion, "kept");
    EXPECT_FALSE(info.ProductDate.isValid());

    // Nothing is looked for when no tag is set but the empty one.
    TWfiProductInfo none;
    InfoPage::ParseInfoPage({QStringLiteral(R"(<META HTTP-EQUIV="version" CONTENT="1">)")}, TWfiTags(), wfidDFSDate,
                            none);
    EXPECT_TRUE(none.ProductVersion.isEmpty());
}

namespace {

struct DateTextRow {
    const char *Name;
    const char *Text;
    QDate Date; // null: the text does not read
};

const DateTextRow DateTexts[] = {
    {"FullMonth", "April 25, 1999", QDate(1999, 4, 25)},
    {"OneDigitDay", "April 5, 1999", QDate(1999, 4, 5)},
    {"LowerCaseMonth", "april 5, 1999", QDate(1999, 4, 5)},
    {"ShortMonth", "Dec 31, 2000", QDate(2000, 12, 31)},
    {"LeapDay", "February 29, 2000", QDate(2000, 2, 29)},
    {"FirstDayOfTheEra", "Jan 1, 0001", QDate(1, 1, 1)},
    // Only the first three letters count, wherever they occur in the month list.
    {"LettersAcrossTwoMonthNames", "ANF 3, 1999", QDate(1999, 1, 3)},
    {"LongerMonthName", "Junebug 7, 2001", QDate(2001, 6, 7)},
    {"LeapDayOfACommonYear", "February 29, 1999", QDate()},
    {"DayPastTheMonth", "April 31, 1999", QDate()},
    {"UnknownMonth", "Smarch 5, 1999", QDate()}, // month 0
    {"NoComma", "April 25 1999", QDate()},       // no comma, no day
    {"DayNotANumber", "April x5, 1999", QDate()},
    {"TwoDigitYear", "April 25, 99", QDate()}, // the last four characters ", 99" are no year
    {"DayZero", "April 0, 1999", QDate()},
    {"Empty", "", QDate()},
};

class DateText : public ::testing::TestWithParam<DateTextRow> {};

} // namespace

// Without a date format no text reads as a date.
TEST_P(DateText, ReadsOrRaises)
{
    const DateTextRow &row = GetParam();
    const QString text = QString::fromUtf8(row.Text);
    if (row.Date.isValid()) {
        EXPECT_EQ(InfoPage::ParseProductDate(text, wfidDFSDate), row.Date);
    } else {
        EXPECT_THROW(InfoPage::ParseProductDate(text, wfidDFSDate), EConvertError);
    }
    EXPECT_FALSE(InfoPage::ParseProductDate(text, wfidNone).isValid());
}

INSTANTIATE_TEST_SUITE_P(InfoPage, DateText, ::testing::ValuesIn(DateTexts),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(InfoPage, BadDateOnThePageRaisesAfterFillingTheText)
{
    TWfiProductInfo info;
    const QStringList lines = {QStringLiteral(R"(<META HTTP-EQUIV="date" CONTENT="Smarch 5, 1999">)")};
    EXPECT_THROW(InfoPage::ParseInfoPage(lines, TWfiTags::ProgramTags(), wfidDFSDate, info), EConvertError);
    EXPECT_EQ(info.ProductDateStr, "Smarch 5, 1999");

    TWfiProductInfo textOnly;
    InfoPage::ParseInfoPage(lines, TWfiTags::ProgramTags(), wfidNone, textOnly);
    EXPECT_EQ(textOnly.ProductDateStr, "Smarch 5, 1999");
    EXPECT_FALSE(textOnly.ProductDate.isValid());
}

namespace {

struct IntegerRow {
    const char *Name;
    const char *Text;
    int Value; // -1: the text does not read
};

const IntegerRow IntegerTexts[] = {
    {"Zero", "0", 0},
    {"TwoDigits", "12", 12},
    {"LeadingBlank", " 12", 12},
    {"PlusSign", "+7", 7},
    {"MinusSign", "-7", -7},
    {"LeadingZeros", "007", 7},
    {"TrailingBlank", "12 ", -1},
    {"Empty", "", -1},
    {"Blank", " ", -1},
    {"SignOnly", "-", -1},
    {"TrailingLetter", "1a", -1},
    {"Hexadecimal", "0x10", -1},
    {"Fraction", "1.5", -1},
    {"Largest", "2147483647", 2147483647},
    {"Smallest", "-2147483648", -2147483647 - 1},
    {"OneAboveTheLargest", "2147483648", -1},
    {"TwentyDigits", "99999999999999999999", -1},
};

class IntegerText : public ::testing::TestWithParam<IntegerRow> {};

} // namespace

TEST_P(IntegerText, ReadsOrGivesTheDefault)
{
    EXPECT_EQ(InfoPage::StrToIntDef(QString::fromUtf8(GetParam().Text), -1), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(InfoPage, IntegerText, ::testing::ValuesIn(IntegerTexts),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(InfoPage, BadIntegerTextRaises)
{
    EXPECT_THROW(InfoPage::StrToInt(QStringLiteral("x")), EConvertError);
    try {
        InfoPage::StrToInt(QStringLiteral("5x"));
        ADD_FAILURE() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), "'5x' is not a valid integer value");
    }
}

TEST(WfiTags, ProgramTagsAndTheCheckSet)
{
    const TWfiTags tags = TWfiTags::ProgramTags();
    EXPECT_EQ(tags.AuthorTag(), "name");
    EXPECT_EQ(tags.ProductNameTag(), "name");
    EXPECT_EQ(tags.DateTag(), "date");
    EXPECT_EQ(tags.DownloadTag(), "url");
    EXPECT_EQ(tags.ReadMeTag(), "readme");
    EXPECT_EQ(tags.RunParamsTag(), "runparams");
    EXPECT_EQ(tags.VersionTag(), "version");
    EXPECT_TRUE(tags.AuthorEMailTag().isEmpty());
    EXPECT_TRUE(tags.ReadMeExtTag().isEmpty());
    EXPECT_TRUE(tags.RedirectTag().isEmpty());
    EXPECT_FALSE(tags.NoneForCheck());

    TWfiTags empty;
    EXPECT_TRUE(empty.NoneForCheck());
    empty.SetAuthorEMailTag(QStringLiteral("email"));
    EXPECT_TRUE(empty.NoneForCheck()); // the address alone is no check
    for (void (TWfiTags::*setter)(const QString &) :
         {&TWfiTags::SetAuthorTag, &TWfiTags::SetDateTag, &TWfiTags::SetDownloadTag, &TWfiTags::SetProductNameTag,
          &TWfiTags::SetReadMeTag, &TWfiTags::SetReadMeExtTag, &TWfiTags::SetRedirectTag, &TWfiTags::SetRunParamsTag,
          &TWfiTags::SetVersionTag}) {
        TWfiTags one;
        (one.*setter)(QStringLiteral("x"));
        EXPECT_FALSE(one.NoneForCheck());
    }
}
