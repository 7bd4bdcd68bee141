#pragma once

#include "ReportTestSupport.h"

#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// One window of the report library for the layout invariants. Preview windows run modally,
// so a row shows its window and hands it to the check while it is up.
struct ReportWindowRow {
    const char *Name;
    std::function<void(const std::function<void(QWidget &)> &check)> WhileShown;
};

inline void PrintTo(const ReportWindowRow &row, std::ostream *os)
{
    *os << row.Name;
}

// The designed client area of a preview: the screen's work area inside the window frame.
QSize WorkAreaClient(const QWidget &window);

class ReportWindowLayout : public ::testing::TestWithParam<ReportWindowRow> {
protected:
    void SetUp() override;
    void TearDown() override;
    PrinterScope Scope;
};

std::string ReportWindowName(const ::testing::TestParamInfo<ReportWindowRow> &info);
