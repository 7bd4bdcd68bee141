#include "ControlCaptions.h"
#include "EditTestSupport.h"

#include "controls/FnpNumericEdit.h"
#include "controls/Nstatln.h"
#include "controls/NumCtrl.h"

#include <QTimer>

namespace {

using WindowInvariants::WindowRow;

// A control shown in the window it is made for.
class ControlLayout : public ::testing::TestWithParam<WindowRow> {};

// A number field at the height the calculator gives its fields, at the width it comes with.
template <typename Field>
std::unique_ptr<QWidget> FieldWindow()
{
    auto window = std::make_unique<QWidget>();
    auto *field = new Field(window.get());
    field->resize(field->width(), 22);
    window->resize(field->size());
    return window;
}

// The status line in a window of the calculator's size, its clock showing the time once.
std::unique_ptr<QWidget> StatusLineWindow()
{
    auto window = std::make_unique<QWidget>();
    window->resize(402, 335);
    auto *line = new TNStatusLine(window.get());
    line->SetCaption(QStringLiteral("Net present value at five rates"));
    if (QTimer *clock = line->findChild<QTimer *>())
        QMetaObject::invokeMethod(clock, "timeout");
    return window;
}

} // namespace

TEST_P(ControlLayout, KeepsTheInvariants)
{
    UnitedStatesSettings us;
    const std::unique_ptr<QWidget> window = GetParam().Make();
    const QStringList faults = WindowInvariants::ShownLayoutFaults(*window, GetParam().DesignedClient, ControlCaption);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Controls, ControlLayout,
                         ::testing::Values(WindowRow{"NumEdit", FieldWindow<TNumEdit>, QSize(85, 22)},
                                           WindowRow{"FnpNumericEdit", FieldWindow<TFnpNumericEdit>, QSize(73, 22)},
                                           WindowRow{"ExplorerButton",
                                                     [] {
                                                         auto button = std::make_unique<TExplorerButton>();
                                                         button->SetCaption(QStringLiteral("&Print"));
                                                         return button;
                                                     },
                                                     QSize(50, 40)},
                                           WindowRow{"StatusLine", StatusLineWindow, QSize(402, 335)}),
                         [](const ::testing::TestParamInfo<WindowRow> &info) { return std::string(info.param.Name); });
