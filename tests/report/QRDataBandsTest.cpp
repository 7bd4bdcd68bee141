#include "PageProbe.h"
#include "ReportTestSupport.h"

#include "report/QRDetailLink.h"
#include "report/QRGroup.h"
#include "report/QRPrinter.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using Order = std::vector<std::string>;

// The bands in the order they were offered for printing.
Order Printed(const TestForm &form)
{
    Order order;
    const std::string suffix = ":before";
    for (const std::string &entry : form.Log) {
        if (entry.size() > suffix.size() && entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) == 0)
            order.push_back(entry.substr(0, entry.size() - suffix.size()));
    }
    return order;
}

// OnNeedData answering yes count times, then no.
std::function<void(QObject *, bool &)> Passes(int count)
{
    auto left = std::make_shared<int>(count);
    return [left](QObject *, bool &more) { more = (*left)-- > 0; };
}

class DataBands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QRPrinter()->PrinterOK()); }
    PrinterScope Scope;
};

} // namespace

TEST_F(DataBands, ThreePassesPrintTheDetailThreeTimes)
{
    TestForm f;
    f.AddBand(QStringLiteral("T"), rbTitle, 20);
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    f.AddBand(QStringLiteral("S"), rbSummary, 20);
    int asked = 0;
    f.Report->OnNeedData = [&](QObject *sender, bool &more) {
        EXPECT_EQ(sender, f.Report);
        // The first question starts with a yes, every further one with a no.
        EXPECT_EQ(more, asked == 0);
        more = ++asked <= 3;
    };
    std::vector<int> detailNumbers;
    f.Report->BeforeDetail = [&](QObject *) { detailNumbers.push_back(f.Report->DetailNo()); };
    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"T", "D", "D", "D", "S"}));
    EXPECT_EQ(detailNumbers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(f.Report->DetailNo(), 4);
    EXPECT_EQ(asked, 4);
}

TEST_F(DataBands, FilterSayingNoFirstPrintsNoDetail)
{
    TestForm f;
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    f.AddBand(QStringLiteral("S"), rbSummary, 20);
    int asked = 0;
    int filtered = 0;
    f.Report->OnNeedData = [&](QObject *, bool &more) { more = ++asked <= 3; };
    f.Report->OnFilter = [&](QObject *, bool &print) {
        EXPECT_TRUE(print);
        ++filtered;
        print = false;
    };
    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"S"}));
    EXPECT_EQ(f.Report->DetailNo(), 1);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(filtered, 1);

    // A filter is only asked while there is data: no data, no question.
    TestForm g;
    g.AddBand(QStringLiteral("D"), rbDetail, 20);
    int gFiltered = 0;
    g.Report->OnNeedData = [](QObject *, bool &more) { more = false; };
    g.Report->OnFilter = [&](QObject *, bool &) { ++gFiltered; };
    RunPreview(*g.Report);
    EXPECT_TRUE(Printed(g).empty());
    EXPECT_EQ(gFiltered, 0);
}

TEST_F(DataBands, LinksRunBeforeOrAfterTheirMastersDetail)
{
    TestForm f;
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    TQRBand *beforeHeader = f.AddBand(QStringLiteral("BH"), rbTitle, 20);
    TQRBand *beforeDetail = f.AddBand(QStringLiteral("BD"), rbTitle, 20);
    TQRBand *beforeFooter = f.AddBand(QStringLiteral("BF"), rbTitle, 20);
    TQRBand *afterDetail = f.AddBand(QStringLiteral("AD"), rbTitle, 20);
    f.Report->OnNeedData = Passes(2);

    auto *before = new TQRDetailLink(f.Form.get());
    before->SetMaster(f.Report);
    before->SetPrintBefore(true);
    before->SetHeaderBand(beforeHeader);
    before->SetDetailBand(beforeDetail);
    before->SetFooterBand(beforeFooter);
    // Each pass of the master starts the link's own data afresh.
    auto beforeLeft = std::make_shared<int>(0);
    before->OnNeedData = [beforeLeft](QObject *, bool &more) {
        if (more)
            *beforeLeft = 2;
        more = (*beforeLeft)-- > 0;
    };

    auto *after = new TQRDetailLink(f.Form.get());
    after->SetMaster(f.Report);
    after->SetDetailBand(afterDetail);
    EXPECT_FALSE(after->PrintBefore());

    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"BH", "BD", "BD", "BF", "D", "AD", "BH", "BD", "BD", "BF", "D", "AD"}));
    // The roles the link slots gave the bands, which therefore never print by type.
    EXPECT_EQ(beforeHeader->BandType(), rbGroupHeader);
    EXPECT_EQ(beforeDetail->BandType(), rbSubDetail);
    EXPECT_EQ(beforeFooter->BandType(), rbGroupFooter);
    EXPECT_EQ(f.Report->DetailNo(), 3);
}

TEST_F(DataBands, LinksNestUnderLinksAndFilterTheirOwnPasses)
{
    TestForm f;
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    TQRBand *outer = f.AddBand(QStringLiteral("O"), rbSubDetail, 20);
    TQRBand *inner = f.AddBand(QStringLiteral("I"), rbSubDetail, 20);
    auto *outerLink = new TQRDetailLink(f.Form.get());
    outerLink->SetMaster(f.Report);
    outerLink->SetDetailBand(outer);
    auto outerPasses = std::make_shared<int>(0);
    outerLink->OnNeedData = [outerPasses](QObject *, bool &more) {
        if (more)
            *outerPasses = 2;
        more = (*outerPasses)-- > 0;
    };
    auto *innerLink = new TQRDetailLink(f.Form.get());
    innerLink->SetMaster(outerLink);
    innerLink->SetDetailBand(inner);
    // The inner link has one record per outer pass, and its filter drops the second.
    int innerRuns = 0;
    innerLink->OnFilter = [&](QObject *, bool &print) { print = ++innerRuns != 2; };

    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"D", "O", "I", "O"}));
    EXPECT_EQ(innerRuns, 2);
}

TEST_F(DataBands, TwoGroupLevelsCloseInnerFirstAndOpenOuterFirst)
{
    TestForm f;
    f.AddBand(QStringLiteral("T"), rbTitle, 20);
    TQRBand *h0 = f.AddBand(QStringLiteral("H0"), rbTitle, 20);
    TQRBand *f0 = f.AddBand(QStringLiteral("F0"), rbTitle, 20);
    TQRBand *h1 = f.AddBand(QStringLiteral("H1"), rbTitle, 20);
    TQRBand *f1 = f.AddBand(QStringLiteral("F1"), rbTitle, 20);
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    f.AddBand(QStringLiteral("S"), rbSummary, 20);

    // Created inner first: the level set afterwards is what counts.
    auto *inner = new TQRGroup(f.Form.get());
    auto *outer = new TQRGroup(f.Form.get());
    EXPECT_EQ(inner->Level(), 0);
    EXPECT_EQ(outer->Level(), 1);
    inner->SetLevel(1);
    outer->SetLevel(0);
    outer->SetHeaderBand(h0);
    outer->SetFooterBand(f0);
    inner->SetHeaderBand(h1);
    inner->SetFooterBand(f1);
    EXPECT_EQ(h0->BandType(), rbGroupHeader);
    EXPECT_EQ(f0->BandType(), rbGroupFooter);

    const std::vector<std::pair<QString, QString>> records = {{"a", "x"}, {"a", "y"}, {"b", "y"}, {"b", "y"}};
    int record = -1;
    f.Report->OnNeedData = [&](QObject *, bool &more) { more = ++record < int(records.size()); };
    outer->OnNeedData = [&](QObject *sender, QString &value) {
        EXPECT_EQ(sender, outer);
        value = records[record].first;
    };
    inner->OnNeedData = [&](QObject *, QString &value) { value = records[record].second; };

    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"T",  "H0", "H1",            // every header once at the start
                                 "F1", "F0", "H0", "H1", "D", // first record: "" became a and x
                                 "F1", "H1", "D",             // inner value only
                                 "F1", "F0", "H0", "H1", "D", // outer value: the inner group restarts too
                                 "D",                         // no change
                                 "F1", "F0", "S"}));          // the end closes every group
    EXPECT_EQ(outer->CurrentValue(), QStringLiteral("b"));
    EXPECT_EQ(outer->PreviousValue(), QStringLiteral("b"));
    // The flags stay set after the run, ready for the next start.
    EXPECT_TRUE(outer->Changed());
    EXPECT_TRUE(inner->Changed());
}

TEST_F(DataBands, FirstPassCountsAsAChangeOnlyAgainstTheStoredValue)
{
    TestForm f;
    TQRBand *header = f.AddBand(QStringLiteral("H"), rbTitle, 20);
    TQRBand *footer = f.AddBand(QStringLiteral("F"), rbTitle, 20);
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    auto *group = new TQRGroup(f.Form.get());
    group->SetHeaderBand(header);
    group->SetFooterBand(footer);
    group->OnNeedData = [](QObject *, QString &value) { value = QStringLiteral("same"); };
    f.Report->OnNeedData = Passes(2);

    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"H", "F", "H", "D", "D", "F"}));

    // A second run starts from the value the first one ended with: no change at its
    // first pass, so only the header printed at the start opens the group.
    f.Log.clear();
    f.Report->OnNeedData = Passes(2);
    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"H", "D", "D", "F"}));
}

TEST_F(DataBands, GroupsOfTheFormTakeTheirLevelsAndSlots)
{
    TestForm f;
    std::vector<TQRGroup *> groups;
    for (int i = 0; i < 11; ++i)
        groups.push_back(new TQRGroup(f.Form.get()));
    EXPECT_EQ(groups[0]->Level(), 0);
    EXPECT_EQ(groups[9]->Level(), 9);
    // There are ten levels: the eleventh group shares the last one.
    EXPECT_EQ(groups[10]->Level(), 9);
    groups[3]->SetLevel(10);
    groups[3]->SetLevel(-1);
    EXPECT_EQ(groups[3]->Level(), 3);
    TQRGroup loose;
    EXPECT_EQ(loose.Level(), 0);
    EXPECT_TRUE(loose.Changed());
    EXPECT_TRUE(loose.CurrentValue().isEmpty());

    // A band whose role is already set keeps it.
    TQRBand *detail = f.AddBand(QStringLiteral("D"), rbDetail, 20);
    groups[0]->SetHeaderBand(detail);
    EXPECT_EQ(detail->BandType(), rbDetail);

    // The report finds the groups of its form by level at the start of a run; of two
    // groups on one level the later one holds the slot.
    f.Report->OnNeedData = Passes(1);
    RunPreview(*f.Report);
    EXPECT_EQ(f.Report->Group(0), groups[0]);
    EXPECT_EQ(f.Report->Group(9), groups[10]);
    EXPECT_EQ(f.Report->Group(10), nullptr);
    EXPECT_EQ(f.Report->Group(-1), nullptr);
}

TEST_F(DataBands, LinkIsNeverItsOwnMaster)
{
    TestForm f;
    auto *link = new TQRDetailLink(f.Form.get());
    link->SetMaster(link);
    EXPECT_EQ(link->Master(), nullptr);
    link->SetMaster(f.Report);
    link->SetMaster(link);
    EXPECT_EQ(link->Master(), f.Report);
}

TEST_F(DataBands, RemovedBandsAndMastersLeaveNoDanglingReference)
{
    TestForm f;
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    TQRBand *linkDetail = f.AddBand(QStringLiteral("LD"), rbSubDetail, 20);
    TQRBand *linkHeader = f.AddBand(QStringLiteral("LH"), rbGroupHeader, 20);
    TQRBand *groupHeader = f.AddBand(QStringLiteral("GH"), rbGroupHeader, 20);
    TQRBand *groupFooter = f.AddBand(QStringLiteral("GF"), rbGroupFooter, 20);
    TQRBand *innerDetail = f.AddBand(QStringLiteral("ID"), rbSubDetail, 20);

    auto *link = new TQRDetailLink(f.Form.get());
    link->SetMaster(f.Report);
    link->SetDetailBand(linkDetail);
    link->SetHeaderBand(linkHeader);
    auto *inner = new TQRDetailLink(f.Form.get());
    inner->SetMaster(link);
    inner->SetDetailBand(innerDetail);
    auto *group = new TQRGroup(f.Form.get());
    group->SetHeaderBand(groupHeader);
    group->SetFooterBand(groupFooter);

    RunPreview(*f.Report);
    // Without a value handler the group never changes: its bands print at the ends.
    EXPECT_EQ(Printed(f), (Order{"GH", "D", "LH", "LD", "ID", "GF"}));

    // The report keeps the previous run's links and groups; after the removals a new
    // run must neither reach the freed objects nor print the freed bands.
    delete linkDetail;
    delete groupHeader;
    EXPECT_EQ(link->DetailBand(), nullptr);
    EXPECT_EQ(group->HeaderBand(), nullptr);
    EXPECT_EQ(link->HeaderBand(), linkHeader);
    delete link;
    EXPECT_EQ(inner->Master(), nullptr);
    f.Log.clear();
    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"D", "GF"}));

    delete group;
    EXPECT_EQ(f.Report->Group(0), nullptr);
    f.Log.clear();
    RunPreview(*f.Report);
    EXPECT_EQ(Printed(f), (Order{"D"}));
}

TEST_F(DataBands, HandlersMayRemoveTheirOwnGroupOrLink)
{
    TestForm f;
    f.AddBand(QStringLiteral("D"), rbDetail, 20);
    TQRBand *footer = f.AddBand(QStringLiteral("GF"), rbGroupFooter, 20);
    TQRBand *linkDetail = f.AddBand(QStringLiteral("LD"), rbSubDetail, 20);
    auto *group = new TQRGroup(f.Form.get());
    group->SetFooterBand(footer);
    QPointer<TQRGroup> groupGuard(group);
    int record = 0;
    f.Report->OnNeedData = [&](QObject *, bool &more) { more = ++record <= 3; };
    group->OnNeedData = [&](QObject *, QString &value) {
        value = QString::number(record);
        if (record == 2)
            delete groupGuard.data();
    };
    auto *link = new TQRDetailLink(f.Form.get());
    link->SetMaster(f.Report);
    link->SetDetailBand(linkDetail);
    QPointer<TQRDetailLink> linkGuard(link);
    link->OnNeedData = [&](QObject *, bool &) {
        if (record == 2)
            delete linkGuard.data();
    };
    RunPreview(*f.Report);
    EXPECT_TRUE(groupGuard.isNull());
    EXPECT_TRUE(linkGuard.isNull());
    EXPECT_EQ(Printed(f), (Order{"GF", "D", "LD", "D", "D"}));
}
