#include "EditTestSupport.h"

#include "controls/NumCtrl.h"
#include "platform/core/Formatting.h"

#include <QClipboard>
#include <QImage>
#include <QStyle>

namespace {

TNumEdit *CashFlowField(FocusWindow &w)
{
    auto *edit = w.Add<TNumEdit>();
    edit->SetDecimals(2);
    edit->SetDigits(12);
    edit->Masks().SetPositiveMask(QStringLiteral("#,##0"));
    edit->SetUseRounding(true);
    edit->SetValidate(false);
    return edit;
}

void TabInto(QWidget *field)
{
    field->setFocus(Qt::TabFocusReason);
}

void TabOut(QWidget *field)
{
    QTest::keyClick(field, Qt::Key_Tab);
}

} // namespace

namespace {

struct DisplayRow {
    TNumericType type;
    int decimals;
    bool rounding;
    long double value;
    const char *negativeMask;
    const char *zeroMask;
    const char *text;
};

class NumEditDisplay : public ::testing::TestWithParam<DisplayRow> {};

std::string DisplayName(const ::testing::TestParamInfo<DisplayRow> &info)
{
    const DisplayRow &row = info.param;
    const char *type = row.type == ntCurrency ? "Currency" : row.type == ntPercentage ? "Percentage" : "General";
    return std::string(type) + "_Dec" + std::to_string(row.decimals) + (row.rounding ? "_Rounding_" : "_Truncating_") +
           KeysName(row.text);
}

} // namespace

TEST_P(NumEditDisplay, FormatsTheValueWithoutChangingIt)
{
    UnitedStatesSettings us;
    const DisplayRow &row = GetParam();
    TNumEdit edit;
    edit.SetDecimals(quint16(row.decimals));
    edit.SetUseRounding(row.rounding);
    edit.Masks().SetNegativeMask(QString::fromLatin1(row.negativeMask));
    edit.Masks().SetZeroMask(QString::fromLatin1(row.zeroMask));
    edit.SetNumericType(row.type);
    edit.SetValue(row.value);
    edit.Reformat();
    EXPECT_EQ(edit.text(), QString::fromLatin1(row.text));
    EXPECT_EQ(edit.Value(), row.value) << "formatting never changes the value";
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumEditDisplay,
    ::testing::Values(DisplayRow{ntCurrency, 2, true, 1234.5L, "", "", "$1,234.50"},
                      DisplayRow{ntCurrency, 2, true, -1234.5L, "", "", "($1,234.50)"},
                      DisplayRow{ntCurrency, 2, true, 0, "", "", "$0.00"},
                      DisplayRow{ntCurrency, 2, true, 0.125L, "", "", "$0.12"},
                      DisplayRow{ntCurrency, 2, true, 0.375L, "", "", "$0.38"},
                      DisplayRow{ntCurrency, 2, false, 1.239L, "", "", "$1.23"},
                      DisplayRow{ntCurrency, 2, false, -1.239L, "", "", "($1.23)"},
                      DisplayRow{ntCurrency, 2, true, 30000000.0L, "", "", "$30,000,000.00"},
                      // Truncation applies while the scaled value fits 32 bits...
                      DisplayRow{ntCurrency, 2, false, 3000000.999L, "", "", "$3,000,000.99"},
                      // ...and is skipped beyond, where the display's own rounding is all there is.
                      DisplayRow{ntCurrency, 2, false, 30000000.999L, "", "", "$30,000,001.00"},
                      DisplayRow{ntCurrency, 0, true, 2.5L, "", "", "$2"},
                      DisplayRow{ntCurrency, 2, true, 6144.567L, "", "", "$6,144.57"},
                      DisplayRow{ntPercentage, 2, true, 0.125L, "", "", "12.50%"},
                      DisplayRow{ntPercentage, 2, true, -0.125L, "", "", "-12.50%"},
                      DisplayRow{ntPercentage, 1, true, 12.3456L, "", "", "1234.6%"},
                      DisplayRow{ntGeneral, 2, true, 1234567.0L, "", "", "1,234,567"},
                      DisplayRow{ntGeneral, 2, true, -5.0L, "(#,##0)", "", "(5)"},
                      DisplayRow{ntGeneral, 2, true, -5.0L, "", "", "-5"},
                      DisplayRow{ntGeneral, 2, true, 0.0L, "", "'none'", "none"},
                      DisplayRow{ntGeneral, 2, true, 0.0L, "", "", "0"}),
    DisplayName);

// The text keeps clear of the frame by a quarter of the smaller of the two fonts' heights.
TEST(NumEdit, StartsAtZeroInCurrencyWithAMarginFromTheFont)
{
    UnitedStatesSettings us;
    TNumEdit edit;
    EXPECT_EQ(edit.text(), QStringLiteral("$0.00"));
    const int expectedMargin = std::min(QFontMetrics(QApplication::font()).height(),
                                        QFontMetrics(edit.font()).height()) /
                               4;
    EXPECT_EQ(edit.TextMargin(), expectedMargin);
}

TEST(NumEdit, FocusEntryShowsTheBareNumberSelected)
{
    UnitedStatesSettings us;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    TNumEdit *negative = CashFlowField(w);
    int entered = 0;
    edit->OnEnter = [&](QObject *sender) {
        EXPECT_EQ(sender, edit);
        ++entered;
    };
    ASSERT_TRUE(w.Show());
    w.Other->setFocus();
    edit->SetValue(1234.5L);
    negative->SetValue(-1234.5L);
    EXPECT_EQ(edit->text(), QStringLiteral("$1,234.50"));

    TabInto(edit);
    EXPECT_EQ(edit->text(), QStringLiteral("1,234.50"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("1,234.50"));
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(edit->Editing());
    EXPECT_EQ(static_cast<TCustomNumEdit *>(edit)->MaxLength(), 12);
    EXPECT_EQ(TCustomNumEdit::SavedMaxLength, 0);

    TabOut(edit);
    EXPECT_TRUE(negative->hasFocus());
    EXPECT_EQ(edit->text(), QStringLiteral("$1,234.50"));
    EXPECT_FALSE(edit->Editing());
    EXPECT_EQ(static_cast<TCustomNumEdit *>(edit)->MaxLength(), 0);
    EXPECT_EQ(negative->text(), QStringLiteral("-1,234.50"));

    // A display with its own minus is edited with one minus, not two.
    TFormatSettings minusFirst = UnitedStatesFormatSettings();
    minusFirst.NegCurrFormat = 1;
    SetFormatSettings(minusFirst);
    w.Other->setFocus();
    negative->Reformat();
    EXPECT_EQ(negative->text(), QStringLiteral("-$1,234.50"));
    TabInto(negative);
    EXPECT_EQ(negative->text(), QStringLiteral("-1,234.50"));
    w.Other->setFocus();
    negative->SetNumericType(ntPercentage);
    negative->SetValue(-0.125L);
    EXPECT_EQ(negative->text(), QStringLiteral("-12.50%"));
    TabInto(negative);
    EXPECT_EQ(negative->text(), QStringLiteral("-12.50"));
    TabOut(negative);
    EXPECT_EQ(negative->text(), QStringLiteral("-12.50%"));
    EXPECT_NEAR(double(negative->Value()), -0.125, 1e-15);
}

TEST(NumEdit, AutoSelectOnEveryEntryButAMouseClick)
{
    UnitedStatesSettings us;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    ASSERT_TRUE(w.Show());
    edit->SetValue(42);
    w.Other->setFocus();

    edit->setFocus(); // by code
    EXPECT_EQ(edit->selectedText(), QStringLiteral("42.00"));
    w.Other->setFocus();
    EXPECT_EQ(edit->text(), QStringLiteral("$42.00"));

    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(3, edit->height() / 2));
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), QStringLiteral("42.00"));
    EXPECT_FALSE(edit->hasSelectedText());
}

namespace {

struct KeyFilterRow {
    const char *start;
    int caret;
    const char *keys; // "<" is Backspace, "^v" Ctrl+V, "^c" Ctrl+C, "^x" Ctrl+X
    const char *text;
    int caretAfter;
};

class NumEditKeyFilter : public ::testing::TestWithParam<KeyFilterRow> {};

} // namespace

// A cash-flow field lets digits, separators and one leading minus through; the clipboard
// keys do nothing to it or to the clipboard.
TEST_P(NumEditKeyFilter, LetsOnlyANumberThrough)
{
    UnitedStatesSettings us;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    ASSERT_TRUE(w.Show());
    QApplication::clipboard()->setText(QStringLiteral("999"));
    const KeyFilterRow &row = GetParam();
    TabInto(edit);
    edit->setText(QString::fromLatin1(row.start));
    edit->setCursorPosition(row.caret);
    for (const char *k = row.keys; *k; ++k) {
        if (*k == '<') {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else if (*k == '^') {
            ++k;
            QTest::keyClick(edit, Qt::Key(Qt::Key_A + (*k - 'a')), Qt::ControlModifier);
        } else {
            QTest::keyClick(edit, *k);
        }
    }
    EXPECT_EQ(edit->text(), QString::fromLatin1(row.text));
    EXPECT_EQ(edit->cursorPosition(), row.caretAfter);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("999"));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NumEditKeyFilter,
    ::testing::Values(KeyFilterRow{"", 0, "12.5", "12.5", 4}, KeyFilterRow{"12.5", 4, ".", "12.5", 4},
                      KeyFilterRow{"12", 2, "..", "12.", 3}, KeyFilterRow{"12", 0, "-", "-12", 1},
                      KeyFilterRow{"12", 2, "--", "12-", 3}, KeyFilterRow{"-12", 3, "-", "-12", 3},
                      KeyFilterRow{"12", 2, "abc$ E+", "12", 2}, KeyFilterRow{"12", 2, "^v", "12", 2},
                      KeyFilterRow{"12", 2, "^x", "12", 2}, KeyFilterRow{"1234", 1, ",", "1,234", 2},
                      KeyFilterRow{"1234", 4, "<<", "12", 2}, KeyFilterRow{"1,234.50", 8, "<", "1,234.5", 7},
                      KeyFilterRow{"5", 0, "7", "75", 1}),
    [](const ::testing::TestParamInfo<KeyFilterRow> &info) {
        const KeyFilterRow &row = info.param;
        return (*row.start ? KeysName(row.start) : std::string("Empty")) + "_At" + std::to_string(row.caret) + "_" +
               KeysName(row.keys);
    });

TEST(NumEdit, TypingLimitFollowsDigits)
{
    UnitedStatesSettings us;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    int keyPresses = 0;
    edit->OnKeyPress = [&](QObject *, QChar &) { ++keyPresses; };
    ASSERT_TRUE(w.Show());
    TabInto(edit);
    QTest::keyClick(edit, Qt::Key_Backspace);
    keyPresses = 0;
    QTest::keyClicks(edit, QStringLiteral("123456789012345"));
    EXPECT_EQ(edit->text(), QStringLiteral("123456789012"));
    QTest::keyClicks(edit, QStringLiteral(".9"));
    EXPECT_EQ(edit->text(), QStringLiteral("123456789012.")) << "the separator raises the limit by one";
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, QStringLiteral("-9"));
    EXPECT_EQ(edit->text(), QStringLiteral("-123456789012."));
    EXPECT_EQ(static_cast<TCustomNumEdit *>(edit)->MaxLength(), 14);
    EXPECT_EQ(keyPresses, 15 + 2 + 2) << "accepted characters raise OnKeyPress, even when the limit stops them";
    QTest::keyClicks(edit, QStringLiteral("x"));
    EXPECT_EQ(keyPresses, 19) << "a discarded character raises none";
    // The limit is for typing: code may put any text there.
    edit->setText(QStringLiteral("12345678901234567890"));
    EXPECT_EQ(edit->text(), QStringLiteral("12345678901234567890"));
}

TEST(NumEdit, FocusExitParsesFormatsAndRaisesOnExit)
{
    UnitedStatesSettings us;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    TNumEdit *percent = CashFlowField(w);
    percent->SetNumericType(ntPercentage);
    int exits = 0;
    QString textAtExit;
    bool editingAtExit = false;
    edit->OnExit = [&](QObject *sender) {
        EXPECT_EQ(sender, edit);
        ++exits;
        textAtExit = edit->text();
        editingAtExit = edit->Editing();
    };
    ASSERT_TRUE(w.Show());

    TabInto(edit);
    QTest::keyClicks(edit, QStringLiteral("1,234.567"));
    TabOut(edit);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(edit->Value(), 1234.567L);
    EXPECT_EQ(edit->text(), QStringLiteral("$1,234.57"));
    EXPECT_EQ(textAtExit, QStringLiteral("$1,234.57")) << "the value is formatted before OnExit";
    EXPECT_TRUE(editingAtExit);
    EXPECT_FALSE(edit->Editing());

    // Passing through the field makes the value what the display shows.
    w.Other->setFocus();
    edit->SetValue(1.239L);
    TabInto(edit);
    TabOut(edit);
    EXPECT_EQ(edit->Value(), 1.24L);

    // An empty text reads as 0.
    TabInto(edit);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QString());
    TabOut(edit);
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(edit->text(), QStringLiteral("$0.00"));

    // A minus at the end counts.
    TabInto(edit);
    QTest::keyClicks(edit, QStringLiteral("5-"));
    TabOut(edit);
    EXPECT_EQ(edit->Value(), -5);
    EXPECT_EQ(edit->text(), QStringLiteral("($5.00)"));

    percent->setFocus();
    QTest::keyClicks(percent, QStringLiteral("12.5"));
    TabOut(percent);
    EXPECT_NEAR(double(percent->Value()), 0.125, 1e-18);
    EXPECT_EQ(percent->text(), QStringLiteral("12.50%"));
}

TEST(NumEdit, RangeRefusalKeepsTheFocus)
{
    UnitedStatesSettings us;
    TBoxRecorder boxes;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    TNumEdit *next = CashFlowField(w);
    edit->SetMax(100);
    edit->SetValidate(true);
    int exits = 0, nextEntries = 0, nextExits = 0;
    edit->OnExit = [&](QObject *) { ++exits; };
    next->OnEnter = [&](QObject *) { ++nextEntries; };
    next->OnExit = [&](QObject *) { ++nextExits; };
    next->SetValue(7);
    ASSERT_TRUE(w.Show());

    TabInto(edit);
    QTest::keyClicks(edit, QStringLiteral("150"));
    TabOut(edit);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].Caption, QStringLiteral("Information"));
    EXPECT_EQ(boxes.Boxes()[0].Text, QStringLiteral("Value must be between 0 and 100"));
    EXPECT_EQ(boxes.Boxes()[0].Icon, QMessageBox::Information);
    EXPECT_EQ(boxes.Boxes()[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(w.Window->focusWidget(), edit);
    ASSERT_TRUE(w.Reactivate());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), QStringLiteral("150"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("150"));
    EXPECT_TRUE(edit->Editing());
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(nextEntries, 0);
    EXPECT_EQ(nextExits, 0);
    EXPECT_EQ(next->text(), QStringLiteral("$7.00"));

    EXPECT_EQ(static_cast<TCustomNumEdit *>(edit)->MaxLength(), 12)
        << "a refused exit leaves the typing limit of editing in force";
    QTest::keyClicks(edit, QStringLiteral("99.5"));
    EXPECT_EQ(edit->text(), QStringLiteral("99.5"));
    TabOut(edit);
    EXPECT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(edit->Value(), 99.5L);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(nextEntries, 1);

    // From code the value is simply not changed.
    edit->SetValue(-3);
    EXPECT_EQ(boxes.Boxes().size(), 2);
    ASSERT_TRUE(w.Reactivate());
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(edit->Value(), 99.5L);

    // The message is cut to 80 characters.
    edit->SetMin(-1e300L);
    edit->SetMax(1.23456789012345e300L);
    edit->SetValue(-1e301L);
    ASSERT_EQ(boxes.Boxes().size(), 3);
    EXPECT_EQ(boxes.Boxes()[2].Text, QStringLiteral("Value must be between -1E300 and 1.23456789012345E300"));
}

TEST(NumEdit, NotANumberGoesToTheApplicationHandler)
{
    UnitedStatesSettings us;
    ExceptionRecorder errors;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    int exits = 0;
    edit->OnExit = [&](QObject *) { ++exits; };
    edit->SetValue(8);
    ASSERT_TRUE(w.Show());

    TabInto(edit);
    QTest::keyClicks(edit, QStringLiteral("-"));
    TabOut(edit);
    ASSERT_EQ(errors.Messages.size(), 1);
    EXPECT_EQ(errors.Messages[0], QStringLiteral("'-' is not a valid floating point value"));
    EXPECT_EQ(edit->Value(), 8);
    EXPECT_EQ(exits, 0);
    EXPECT_FALSE(edit->hasFocus());
    EXPECT_TRUE(edit->Editing());
    EXPECT_EQ(edit->text(), QStringLiteral("-"));

    // Entered and left again with a number, it recovers.
    TabInto(edit);
    QTest::keyClicks(edit, QStringLiteral("3"));
    TabOut(edit);
    EXPECT_EQ(edit->Value(), 3);
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(edit->Editing());
    EXPECT_EQ(edit->text(), QStringLiteral("$3.00"));
}

TEST(NumEdit, FailingOnExitHandlerStillEndsEditing)
{
    UnitedStatesSettings us;
    ExceptionRecorder errors;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    edit->OnExit = [](QObject *) { throw EZeroDivide(); };
    ASSERT_TRUE(w.Show());
    TabInto(edit);
    QTest::keyClicks(edit, QStringLiteral("12"));
    TabOut(edit);
    EXPECT_EQ(errors.Messages, QStringList({QStringLiteral("Floating point division by zero")}));
    EXPECT_EQ(edit->Value(), 12);
    EXPECT_EQ(edit->text(), QStringLiteral("$12.00"));
    EXPECT_FALSE(edit->Editing());
}

TEST(NumEdit, PropertyWriters)
{
    UnitedStatesSettings us;
    TBoxRecorder boxes;
    TNumEdit edit;
    int changes = 0;
    edit.OnChange = [&](QObject *) { ++changes; };

    edit.SetValue(50);
    EXPECT_EQ(edit.text(), QStringLiteral("$50.00"));
    EXPECT_EQ(changes, 1);
    edit.SetValue(50);
    EXPECT_EQ(changes, 1);

    edit.SetMax(40);
    EXPECT_EQ(edit.Value(), 40);
    EXPECT_EQ(edit.text(), QStringLiteral("$50.00")) << "the display catches up at the next Reformat";
    edit.SetMin(45);
    EXPECT_EQ(edit.Value(), 45);
    edit.Reformat();
    EXPECT_EQ(edit.text(), QStringLiteral("$45.00"));

    TNumEdit other;
    other.SetValue(150);
    other.SetMin(0);
    other.SetMax(100);
    EXPECT_EQ(other.Value(), 100);
    other.SetValue(150);
    EXPECT_EQ(other.Value(), 150);
    other.SetValidate(true);
    EXPECT_EQ(other.Value(), 0) << "switching Validate on moves the value to Min";
    EXPECT_EQ(other.text(), QStringLiteral("$0.00"));
    EXPECT_TRUE(boxes.Boxes().empty());

    changes = 0;
    edit.SetDecimals(3);
    EXPECT_EQ(edit.text(), QStringLiteral("$45.000"));
    edit.SetDecimals(3);
    edit.SetDigits(12);
    EXPECT_EQ(changes, 1);
    edit.SetDecimals(40);
    EXPECT_EQ(edit.Decimals(), TCustomNumEdit::MaxDecimals);
    edit.SetDecimals(2);
    edit.SetValue(123456.0L);
    edit.SetDigits(5);
    EXPECT_EQ(edit.text(), QStringLiteral("1.2346E5"));
    edit.SetNumericType(ntPercentage);
    EXPECT_EQ(edit.text(), QStringLiteral("1.2346E7%"));
}

TEST(NumEdit, Masks)
{
    UnitedStatesSettings us;
    TNumEdit edit;
    edit.SetNumericType(ntGeneral);
    edit.SetValue(-1234);
    EXPECT_EQ(edit.text(), QStringLiteral("-1,234"));
    int changes = 0;
    edit.OnChange = [&](QObject *) { ++changes; };
    edit.Masks().SetNegativeMask(QStringLiteral("(#,##0.00)"));
    EXPECT_EQ(edit.text(), QStringLiteral("(1,234.00)"));
    EXPECT_EQ(changes, 1);
    edit.Masks().SetNegativeMask(QStringLiteral("(#,##0.00)"));
    EXPECT_EQ(changes, 1);

    edit.Masks().SetPositiveMask(QStringLiteral("0000000000000000000000000000000"));
    EXPECT_EQ(edit.Masks().PositiveMask().size(), 25);

    TMasks masks;
    masks.SetPositiveMask(QStringLiteral("0.0"));
    masks.SetNegativeMask(QStringLiteral("0.0-"));
    masks.SetZeroMask(QStringLiteral("'zero'"));
    edit.SetMasks(masks);
    EXPECT_EQ(edit.Masks().ZeroMask(), QStringLiteral("'zero'"));
    EXPECT_EQ(edit.text(), QStringLiteral("1234.0-"));
    edit.SetValue(0);
    EXPECT_EQ(edit.text(), QStringLiteral("zero"));
}

namespace {

struct ConversionRow {
    const char *name;
    long double value;
    bool rounding;
    double roundedDouble;
    qint16 smallInt;
    qint32 longInt;
};

class NumEditConversion : public ::testing::TestWithParam<ConversionRow> {};

} // namespace

// Rounding is half to even; without it the integers truncate; a value out of an integer's
// range gives 0.
TEST_P(NumEditConversion, RoundsOrTruncatesWithinRange)
{
    UnitedStatesSettings us;
    const ConversionRow &row = GetParam();
    TNumEdit edit;
    edit.SetUseRounding(row.rounding);
    edit.SetValue(row.value);
    EXPECT_EQ(edit.AsRoundedDouble(), row.roundedDouble);
    EXPECT_EQ(edit.AsSmallInt(), row.smallInt);
    EXPECT_EQ(edit.AsLongInt(), row.longInt);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumEditConversion,
    ::testing::Values(ConversionRow{"TwoAndAHalfToEven", 2.5L, true, 2, 2, 2},
                      ConversionRow{"ThreeAndAHalfToEven", 3.5L, true, 4, 4, 4},
                      ConversionRow{"MinusTwoAndAHalfToEven", -2.5L, true, -2, -2, -2},
                      ConversionRow{"TwoPointSevenTruncated", 2.7L, false, 3, 2, 2},
                      ConversionRow{"MinusTwoPointSevenTruncated", -2.7L, false, -3, -2, -2},
                      ConversionRow{"JustBelowSmallIntMax", 32766.6L, true, 32767, 0 + 32767, 32767},
                      ConversionRow{"SmallIntMax", 32767.0L, true, 32767, 0, 32767},
                      ConversionRow{"SmallIntMin", -32768.0L, true, -32768, 0, -32768},
                      ConversionRow{"LongIntMax", 2147483647.0L, true, 2147483647.0, 0, 0},
                      ConversionRow{"LongIntMinPlusOne", -2147483647.0L, true, -2147483647.0, 0, 0},
                      ConversionRow{"BeyondEveryRange", 1.7e308L, true, 0, 0, 0}),
    [](const ::testing::TestParamInfo<ConversionRow> &info) { return std::string(info.param.name); });

TEST(NumEdit, ConversionsToReal48AndDigitText)
{
    UnitedStatesSettings us;
    TNumEdit edit;
    edit.SetValue(1234.56L);
    Real48 expected;
    expected.Bytes = {0x8B, 0x1F, 0x85, 0xEB, 0x51, 0x1A};
    EXPECT_EQ(edit.AsReal48(), expected);
    edit.SetValue(1.7e38L);
    EXPECT_EQ(edit.AsReal48(), Real48());
    edit.SetValue(-1.7e38L);
    EXPECT_EQ(edit.AsReal48(), Real48());

    edit.SetValue(-1234.5L);
    EXPECT_EQ(edit.text(), QStringLiteral("($1,234.50)"));
    EXPECT_EQ(edit.AsDigitText(), QStringLiteral("-1,234.50"));
    edit.SetNumericType(ntGeneral);
    EXPECT_EQ(edit.AsDigitText(), QStringLiteral("-1,235"));
}

TEST(NumEdit, FilterNumberText)
{
    const QString digits = QStringLiteral("0123456789.");
    EXPECT_EQ(FilterNumberText(QString(), digits), QString());
    EXPECT_EQ(FilterNumberText(QStringLiteral("$1,234.50"), digits), QStringLiteral("1234.50"));
    EXPECT_EQ(FilterNumberText(QStringLiteral("($1,234.50)"), digits), QStringLiteral("1234.50"));
    EXPECT_EQ(FilterNumberText(QStringLiteral("-12.50%"), digits), QStringLiteral("-12.50"));
    EXPECT_EQ(FilterNumberText(QStringLiteral("5-"), digits), QStringLiteral("-5"));
    EXPECT_EQ(FilterNumberText(QStringLiteral("1-2"), digits), QStringLiteral("12"));
    EXPECT_EQ(FilterNumberText(QStringLiteral("-"), digits), QStringLiteral("-"));
}

namespace {

// Columns of the client area that hold text pixels, found by rendering the field.
std::pair<int, int> InkColumns(QWidget *w)
{
    const QImage image = w->grab().toImage();
    const QColor background = w->palette().color(QPalette::Base);
    int left = image.width(), right = -1;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 4; x < image.width() - 4; ++x)
            if (qGray(image.pixel(x, y)) < qGray(background.rgb()) - 80) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

} // namespace

TEST(NumEdit, PaintsItsOwnAlignmentWhenNotEditing)
{
    UnitedStatesSettings us;
    FocusWindow w;
    TNumEdit *edit = CashFlowField(w);
    edit->setMinimumWidth(200);
    ASSERT_TRUE(w.Show());
    edit->SetValue(1);
    w.Other->setFocus();
    QApplication::processEvents();

    const auto [left, right] = InkColumns(edit);
    ASSERT_GE(right, 0);
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    const int textRight = edit->width() - frame - edit->TextMargin();
    EXPECT_LE(right, textRight);
    EXPECT_GE(right, textRight - 4);
    EXPECT_GT(left, edit->width() / 2);

    TabInto(edit);
    QApplication::processEvents();
    const auto [editLeft, editRight] = InkColumns(edit);
    EXPECT_LT(editRight, edit->width() / 2) << "while editing the text is left-aligned";

    w.Other->setFocus();
    static_cast<TCustomNumEdit *>(edit)->SetAlignment(TCustomEdit::taCenter);
    QApplication::processEvents();
    const auto [centreLeft, centreRight] = InkColumns(edit);
    const int middle = (centreLeft + centreRight) / 2;
    EXPECT_NEAR(middle, edit->width() / 2, 4);
}
