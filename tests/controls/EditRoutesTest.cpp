#include "EditTestSupport.h"

#include "controls/FnpNumericEdit.h"
#include "controls/NumCtrl.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include <functional>

namespace {

// Opens the field's own context menu as a right click does and chooses the item whose
// caption is given, with the keyboard, as a user would.
void ChooseFromMenu(TCustomEdit *edit, const QString &caption)
{
    bool chosen = false;
    QTimer::singleShot(0, edit, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions()) {
            if (action->text() == caption && action->isEnabled()) {
                menu->setActiveAction(action);
                chosen = true;
            }
        }
        QTest::keyClick(menu, chosen ? Qt::Key_Return : Qt::Key_Escape);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), edit->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(edit, &event);
    EXPECT_TRUE(chosen) << caption.toStdString();
}

QAccessibleEditableTextInterface *Editable(TCustomEdit *edit)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(edit);
    return face ? face->editableTextInterface() : nullptr;
}

struct RouteRow {
    const char *name;
    std::function<void(TFnpNumericEdit *)> route;
    const char *text;
};

class FnpNumericEditRoutes : public ::testing::TestWithParam<RouteRow> {};

} // namespace

// Whatever way the text is changed, a rate field keeps a number of its form: none of
// them empties it or lets letters in.
TEST_P(FnpNumericEditRoutes, KeepTheTextANumber)
{
    UnitedStatesSettings us;
    FocusWindow w;
    auto *edit = w.Add<TFnpNumericEdit>();
    edit->SetDecimals(3);
    edit->SetValue(4.0);
    ASSERT_TRUE(w.Show());
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();

    GetParam().route(edit);
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), QString::fromLatin1(GetParam().text));
    EXPECT_NO_THROW(edit->Value());
}

INSTANTIATE_TEST_SUITE_P(
    Routes, FnpNumericEditRoutes,
    ::testing::Values(
        RouteRow{"MenuSelectAllThenDelete",
                 [](TFnpNumericEdit *e) {
                     ChooseFromMenu(e, QStringLiteral("Select &All"));
                     ChooseFromMenu(e, QStringLiteral("&Delete"));
                 },
                 "0.000"},
        RouteRow{"MenuDeleteOfTheIntegerDigit",
                 [](TFnpNumericEdit *e) {
                     e->setSelection(0, 1);
                     ChooseFromMenu(e, QStringLiteral("&Delete"));
                 },
                 "0.000"},
        RouteRow{"MenuCutOfEverything",
                 [](TFnpNumericEdit *e) {
                     e->selectAll();
                     ChooseFromMenu(e, QStringLiteral("Cu&t"));
                 },
                 "0.000"},
        RouteRow{"MenuPasteOfLetters",
                 [](TFnpNumericEdit *e) {
                     QApplication::clipboard()->setText(QStringLiteral("abc"));
                     e->selectAll();
                     ChooseFromMenu(e, QStringLiteral("&Paste"));
                 },
                 "0.000"},
        RouteRow{"MenuUndoOfATypedDigit",
                 [](TFnpNumericEdit *e) {
                     e->setCursorPosition(1);
                     QTest::keyClick(e, '2');
                     ChooseFromMenu(e, QStringLiteral("&Undo"));
                 },
                 "4.000"},
        RouteRow{"AccessibleSetTextEmpty",
                 [](TFnpNumericEdit *e) {
                     QAccessible::queryAccessibleInterface(e)->setText(QAccessible::Value, QString());
                 },
                 "0.000"},
        RouteRow{"AccessibleSetTextLetters",
                 [](TFnpNumericEdit *e) {
                     QAccessible::queryAccessibleInterface(e)->setText(QAccessible::Value, QStringLiteral("abc"));
                 },
                 "0.000"},
        RouteRow{"AccessibleSetTextNumber",
                 [](TFnpNumericEdit *e) {
                     QAccessible::queryAccessibleInterface(e)->setText(QAccessible::Value, QStringLiteral("12.5"));
                 },
                 "12.500"},
        RouteRow{"AccessibleInsertLetters",
                 [](TFnpNumericEdit *e) { Editable(e)->insertText(0, QStringLiteral("abc")); }, "4.000"},
        RouteRow{"AccessibleDeleteEverything", [](TFnpNumericEdit *e) { Editable(e)->deleteText(0, 5); }, "0.000"},
        RouteRow{"AccessibleReplaceTheIntegerDigit",
                 [](TFnpNumericEdit *e) { Editable(e)->replaceText(0, 1, QStringLiteral("7")); }, "7.000"}),
    [](const ::testing::TestParamInfo<RouteRow> &info) { return std::string(info.param.name); });

TEST(FnpNumericEditAccessible, IsAnEditableTextWithTheFieldsText)
{
    UnitedStatesSettings us;
    TFnpNumericEdit edit;
    edit.SetDecimals(3);
    edit.SetValue(6.25);
    edit.setAccessibleName(QStringLiteral("Discount rate 3"));
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&edit);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::EditableText);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Discount rate 3"));
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("6.250"));
    ASSERT_NE(face->textInterface(), nullptr);
    EXPECT_EQ(face->textInterface()->characterCount(), 5);
    EXPECT_EQ(face->textInterface()->text(2, 4), QStringLiteral("25"));
    EXPECT_TRUE(face->state().editable);
    edit.SetReadOnly(true);
    EXPECT_TRUE(face->state().readOnly);
    face->setText(QAccessible::Value, QStringLiteral("1"));
    EXPECT_EQ(edit.text(), QStringLiteral("6.250"));
}

namespace {

struct NumRouteRow {
    const char *name;
    std::function<void(TNumEdit *)> route;
    const char *text;
};

class NumEditRoutes : public ::testing::TestWithParam<NumRouteRow> {};

} // namespace

// A cash-flow field takes from the menu and the accessibility bus only what its key filter
// lets through: digits, separators and one minus.
TEST_P(NumEditRoutes, GoThroughTheKeyFilter)
{
    UnitedStatesSettings us;
    FocusWindow w;
    auto *edit = w.Add<TNumEdit>();
    ASSERT_TRUE(w.Show());
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    GetParam().route(edit);
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Routes, NumEditRoutes,
    ::testing::Values(NumRouteRow{"MenuPaste",
                                  [](TNumEdit *e) {
                                      QApplication::clipboard()->setText(QStringLiteral("12a3.5x\nsecond line"));
                                      e->selectAll();
                                      ChooseFromMenu(e, QStringLiteral("&Paste"));
                                  },
                                  "123.5"},
                      NumRouteRow{"AccessibleSetText",
                                  [](TNumEdit *e) {
                                      QAccessible::queryAccessibleInterface(e)->setText(QAccessible::Value,
                                                                                        QStringLiteral("-4x5"));
                                  },
                                  "-45"}),
    [](const ::testing::TestParamInfo<NumRouteRow> &info) { return std::string(info.param.name); });
