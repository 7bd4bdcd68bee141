#include "EditTestSupport.h"

#include "controls/FnpNumericEdit.h"

#include <QClipboard>
#include <QDialog>
#include <QPushButton>

namespace {

// Types keys: a character, or '<' Backspace, '>' the Delete key, '!' Enter, '~' Escape,
// '^' followed by a letter for Ctrl+letter.
void Type(QWidget *edit, const char *keys)
{
    for (const char *k = keys; *k; ++k) {
        switch (*k) {
        case '<': QTest::keyClick(edit, Qt::Key_Backspace); break;
        case '>': QTest::keyClick(edit, Qt::Key_Delete); break;
        case '!': QTest::keyClick(edit, Qt::Key_Return); break;
        case '~': QTest::keyClick(edit, Qt::Key_Escape); break;
        case '^':
            ++k;
            QTest::keyClick(edit, Qt::Key(Qt::Key_A + (*k - 'a')), Qt::ControlModifier);
            break;
        default: QTest::keyClick(edit, *k); break;
        }
    }
}

} // namespace

TEST(FnpNumericEdit, VersionIsFixed)
{
    TFnpNumericEdit edit;
    EXPECT_EQ(edit.Version(), QStringLiteral("1.00.08"));
    edit.SetVersion(QStringLiteral("2"));
    EXPECT_EQ(edit.Version(), QStringLiteral("1.00.08"));
}

namespace {

struct TypingRow {
    int decimals;
    double minValue;
    const char *start;
    int caret;
    int selection; // characters selected from the caret to the right
    const char *keys;
    const char *text;
    int caretAfter;
};

class FnpNumericEditTyping : public ::testing::TestWithParam<TypingRow> {};

// "Dec3_12p567_At6_Sel0_Backspace"; "Neg" when negative numbers are allowed.
std::string TypingName(const ::testing::TestParamInfo<TypingRow> &info)
{
    const TypingRow &row = info.param;
    return "Dec" + std::to_string(row.decimals) + (row.minValue < 0 ? "Neg_" : "_") + KeysName(row.start) + "_At" +
           std::to_string(row.caret) + "_Sel" + std::to_string(row.selection) + "_" + KeysName(row.keys);
}

} // namespace

TEST_P(FnpNumericEditTyping, EditsTheNumberInPlace)
{
    UnitedStatesSettings us;
    FocusWindow w;
    auto *edit = w.Add<TFnpNumericEdit>();
    ASSERT_TRUE(w.Show());
    edit->setFocus(Qt::TabFocusReason);
    const TypingRow &row = GetParam();
    edit->SetDecimals(row.decimals);
    edit->SetMinValue(row.minValue);
    edit->setText(QString::fromLatin1(row.start));
    if (row.selection > 0)
        edit->setSelection(row.caret, row.selection);
    else
        edit->setCursorPosition(row.caret);
    Type(edit, row.keys);
    EXPECT_EQ(edit->text(), QString::fromLatin1(row.text));
    EXPECT_EQ(edit->cursorPosition(), row.caretAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FnpNumericEditTyping,
    ::testing::Values(
        // Fully selected, a digit replaces the number; the separator jumps; decimals overwrite.
        TypingRow{3, 0, "4.000", 0, 5, "5", "5.000", 1}, TypingRow{3, 0, "4.000", 0, 5, "5.", "5.000", 2},
        TypingRow{3, 0, "4.000", 0, 5, "5.2", "5.200", 3}, TypingRow{3, 0, "1.000", 1, 0, "2", "12.000", 2},
        TypingRow{3, 0, "12.567", 6, 0, "3", "12.567", 6}, TypingRow{3, 0, "12.567", 6, 0, "<", "12.560", 5},
        TypingRow{3, 0, "12.500", 4, 0, "<", "12.000", 3}, TypingRow{3, 0, "5.250", 1, 0, "<", "0.250", 1},
        TypingRow{3, 0, "5.250", 2, 0, "<", "5.250", 1}, TypingRow{3, 0, "12.500", 1, 1, "<", "1.500", 1},
        TypingRow{3, 0, "0.250", 0, 0, "0", "0.250", 0}, TypingRow{3, 0, "0.250", 0, 0, "7", "7.250", 1},
        TypingRow{3, 0, "0.250", 1, 0, "7", "7.250", 1}, TypingRow{3, 0, "12.000", 2, 0, "5", "125.000", 3},
        TypingRow{3, 0, "12.000", 0, 0, "9", "912.000", 1}, TypingRow{3, 0, "12.345", 3, 0, "9", "12.945", 4},
        TypingRow{3, 0, "12.345", 5, 0, "9", "12.349", 6}, TypingRow{3, 0, "12.345", 0, 0, "abc/", "12.345", 0},
        TypingRow{3, 0, "12.345", 0, 2, "a", "0.345", 1}, TypingRow{3, 0, "12.345", 1, 3, ".", "12.345", 3},
        TypingRow{3, 0, "3.000", 0, 0, "-", "3.000", 0}, TypingRow{3, -10, "3.000", 0, 0, "-", "-3.000", 1},
        TypingRow{3, -10, "3.000", 2, 0, "--", "3.000", 2}, TypingRow{3, -10, "-0.000", 0, 0, "7", "-7.000", 2},
        TypingRow{3, -10, "-0.500", 2, 0, "<", "-0.500", 1}, TypingRow{3, -10, "-4.500", 2, 0, "<", "-0.500", 1},
        TypingRow{0, -1, "-0", 2, 0, "53", "-53", 3}, TypingRow{0, 0, "0", 1, 0, "53", "53", 2},
        TypingRow{0, 0, "0", 1, 0, ".", "0", 1}, TypingRow{0, 0, "53", 2, 0, "<<", "0", 1},
        TypingRow{0, -1, "-5", 2, 0, "<", "-0", 1}, TypingRow{2, 0, "1.25", 0, 4, "<", "0.00", 1},
        // Delete key: a decimal shifts left, the separator is jumped over.
        TypingRow{3, 0, "12.567", 3, 0, ">", "12.670", 3}, TypingRow{3, 0, "12.567", 2, 0, ">", "12.567", 3},
        TypingRow{3, 0, "12.567", 0, 0, ">", "2.567", 0}, TypingRow{3, 0, "12.567", 0, 6, ">", "0.000", 1},
        TypingRow{3, 0, "5.000", 5, 0, ">", "5.000", 5},
        // Enter is never inserted; Escape with a selection deletes it like any character.
        TypingRow{3, 0, "12.500", 6, 0, "!", "12.500", 6}, TypingRow{3, 0, "12.500", 0, 2, "~", "0.500", 1}),
    TypingName);

TEST(FnpNumericEdit, TabInSelectsAndTypingReplaces)
{
    UnitedStatesSettings us;
    FocusWindow w;
    auto *edit = w.Add<TFnpNumericEdit>();
    edit->SetDecimals(3);
    edit->SetValue(4.0);
    int enters = 0;
    bool selectedAtEnter = false;
    edit->OnEnter = [&](QObject *) {
        ++enters;
        selectedAtEnter = edit->selectedText() == QStringLiteral("4.000");
    };
    ASSERT_TRUE(w.Show());
    w.Other->setFocus();
    QTest::keyClick(w.Other, Qt::Key_Tab);
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(selectedAtEnter);
    QTest::keyClicks(edit, QStringLiteral("5.2"));
    EXPECT_EQ(edit->text(), QStringLiteral("5.200"));
    EXPECT_EQ(edit->Value(), 5.2);

    w.Other->setFocus();
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(edit->width() - 4, edit->height() / 2));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(enters, 2);
}

TEST(FnpNumericEdit, ClipboardCutAndPaste)
{
    UnitedStatesSettings us;
    FocusWindow w;
    auto *edit = w.Add<TFnpNumericEdit>();
    ASSERT_TRUE(w.Show());
    edit->setFocus();
    QClipboard *clipboard = QApplication::clipboard();

    clipboard->setText(QStringLiteral("7a.5"));
    edit->selectAll();
    Type(edit, "^v");
    EXPECT_EQ(edit->text(), QStringLiteral("7.50"));

    // A spreadsheet cell comes with a line break; it is not Enter.
    clipboard->setText(QStringLiteral("3.25\r\n"));
    edit->selectAll();
    Type(edit, "^v");
    EXPECT_EQ(edit->text(), QStringLiteral("3.25"));

    // A pasted clipboard control character does not paste again.
    clipboard->setText(QStringLiteral("8") + QChar(0x16));
    edit->selectAll();
    Type(edit, "^v");
    EXPECT_EQ(edit->text(), QStringLiteral("8.00"));

    edit->SetDecimals(3);
    edit->setText(QStringLiteral("12.500"));
    edit->setSelection(1, 1);
    Type(edit, "^x");
    EXPECT_EQ(clipboard->text(), QStringLiteral("2"));
    EXPECT_EQ(edit->text(), QStringLiteral("1.500"));

    edit->setSelection(0, 3);
    Type(edit, "^c");
    EXPECT_EQ(clipboard->text(), QStringLiteral("1.5"));
    EXPECT_EQ(edit->text(), QStringLiteral("1.500"));

    // Shift+Insert is the same paste request.
    clipboard->setText(QStringLiteral("9"));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("9.000"));

    edit->SetReadOnly(true);
    edit->selectAll();
    Type(edit, "^v5<>");
    EXPECT_EQ(edit->text(), QStringLiteral("9.000"));
    Type(edit, "^c");
    EXPECT_EQ(clipboard->text(), QStringLiteral("9.000"));
}

TEST(FnpNumericEdit, ValueAndDecimals)
{
    UnitedStatesSettings us;
    TFnpNumericEdit edit;
    int changes = 0;
    edit.OnChange = [&](QObject *) { ++changes; };

    edit.SetDecimals(12);
    EXPECT_EQ(edit.Decimals(), 9);
    EXPECT_EQ(edit.text(), QStringLiteral("0.000000000"));
    edit.SetDecimals(-1);
    EXPECT_EQ(edit.Decimals(), 0);
    EXPECT_EQ(edit.DisplayMask(), QStringLiteral("0"));
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
    EXPECT_EQ(changes, 0) << "reformatting for new decimals raises no OnChange";

    edit.SetDecimals(3);
    EXPECT_EQ(edit.DisplayMask(), QStringLiteral("0.000"));
    edit.SetValue(4.125);
    EXPECT_EQ(edit.text(), QStringLiteral("4.125"));
    EXPECT_EQ(changes, 1);
    edit.SetValue(4.125);
    EXPECT_EQ(changes, 1) << "the same text is not replaced";
    edit.SetDecimals(2);
    EXPECT_EQ(edit.text(), QStringLiteral("4.13"));
    EXPECT_EQ(changes, 1);
    edit.SetValue(-0.0625);
    EXPECT_EQ(edit.text(), QStringLiteral("-0.06"));
    edit.SetDecimals(3);
    EXPECT_EQ(edit.text(), QStringLiteral("-0.060"));
    edit.SetValue(1234567.5);
    EXPECT_EQ(edit.text(), QStringLiteral("1234567.500"));
    EXPECT_EQ(edit.Value(), 1234567.5);

    edit.SetLoading(true);
    changes = 0;
    edit.SetValue(8);
    EXPECT_EQ(edit.text(), QStringLiteral("8.000"));
    EXPECT_EQ(changes, 0);
    edit.SetLoading(false);

    edit.setText(QStringLiteral("abc"));
    try {
        (void)edit.Value();
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid floating point value"));
    }

    TFormatSettings comma = UnitedStatesFormatSettings();
    comma.DecimalSeparator = QLatin1Char(',');
    SetFormatSettings(comma);
    edit.SetValue(4.5);
    EXPECT_EQ(edit.text(), QStringLiteral("4,500"));
    EXPECT_EQ(edit.Value(), 4.5);
}

TEST(FnpNumericEdit, ChangeAndRangeEvents)
{
    UnitedStatesSettings us;
    FocusWindow w;
    auto *edit = w.Add<TFnpNumericEdit>();
    edit->SetDecimals(3);
    edit->SetMinValue(1);
    edit->SetMaxValue(10);
    edit->SetValue(4);
    QStringList events;
    edit->OnChange = [&](QObject *) { events << QStringLiteral("change ") + edit->text(); };
    edit->OnValidChange = [&](QObject *) { events << QStringLiteral("valid ") + edit->text(); };
    edit->OnInvalidEntry = [&](QObject *) { events << QStringLiteral("invalid"); };
    edit->OnExit = [&](QObject *) { events << QStringLiteral("exit"); };
    ASSERT_TRUE(w.Show());
    edit->setFocus(Qt::TabFocusReason);

    edit->setCursorPosition(1);
    Type(edit, "2");
    EXPECT_EQ(events, QStringList({QStringLiteral("change 42.000")}));
    events.clear();
    Type(edit, "<");
    EXPECT_EQ(events, QStringList({QStringLiteral("change 4.000"), QStringLiteral("valid 4.000")}));
    events.clear();

    // Deleting a selection: one OnChange at the end, OnValidChange for every step.
    edit->selectAll();
    Type(edit, ">");
    EXPECT_EQ(events, QStringList({QStringLiteral("change 0.000")}));
    events.clear();
    edit->setText(QStringLiteral("5.125"));
    events.clear();
    edit->setSelection(2, 3);
    Type(edit, ">");
    EXPECT_EQ(events,
              QStringList({QStringLiteral("valid 5.120"), QStringLiteral("valid 5.100"), QStringLiteral("valid 5.000"),
                           QStringLiteral("change 5.000"), QStringLiteral("valid 5.000")}));
    events.clear();

    edit->setText(QStringLiteral("0.500"));
    events.clear();
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(events, QStringList({QStringLiteral("invalid"), QStringLiteral("exit")}));
    events.clear();

    edit->setFocus();
    edit->setText(QStringLiteral("5.000"));
    events.clear();
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(events, QStringList({QStringLiteral("exit")}));
    events.clear();

    // With equal bounds nothing is ever invalid, and only 0 is valid.
    edit->SetMinValue(0);
    edit->SetMaxValue(0);
    edit->setFocus();
    edit->setText(QStringLiteral("0.500"));
    edit->setText(QStringLiteral("0.000"));
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(events, QStringList({QStringLiteral("change 0.500"), QStringLiteral("change 0.000"),
                                   QStringLiteral("valid 0.000"), QStringLiteral("exit")}));
}

TEST(FnpNumericEdit, EnterGoesToTheWindow)
{
    UnitedStatesSettings us;
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *edit = new TFnpNumericEdit(&dialog);
    auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    layout->addWidget(edit);
    layout->addWidget(ok);
    int clicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks; });
    int keyPresses = 0;
    edit->OnKeyPress = [&](QObject *, QChar &) { ++keyPresses; };
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    edit->setCursorPosition(4);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("0.00"));
    EXPECT_EQ(keyPresses, 0) << "Enter is consumed before OnKeyPress";
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible()) << "Escape cancels the dialog";
    EXPECT_EQ(keyPresses, 1);
}
