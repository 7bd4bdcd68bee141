#include "EditTestSupport.h"

#include "controls/CustomEdit.h"

#include <QClipboard>

TEST(CustomEdit, MaxLengthLimitsTypingAndPastingOnly)
{
    FocusWindow w;
    auto *edit = w.Add<TCustomEdit>();
    ASSERT_TRUE(w.Show());
    edit->setFocus();

    EXPECT_EQ(edit->MaxLength(), 0);
    QTest::keyClicks(edit, QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ(edit->text().size(), 36) << "0 is no limit";

    edit->SetMaxLength(3);
    EXPECT_EQ(edit->text().size(), 36) << "a limit never cuts the text that is there";
    edit->setText(QStringLiteral("ab"));
    edit->setCursorPosition(2);
    QTest::keyClicks(edit, QStringLiteral("cde"));
    EXPECT_EQ(edit->text(), QStringLiteral("abc"));
    edit->setSelection(1, 1);
    QTest::keyClicks(edit, QStringLiteral("X"));
    EXPECT_EQ(edit->text(), QStringLiteral("aXc")) << "typing over a selection fits";

    QApplication::clipboard()->setText(QStringLiteral("12345\nsecond line"));
    edit->setText(QStringLiteral("a"));
    edit->setCursorPosition(1);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("a12"));
    edit->SetMaxLength(0);
    edit->setText(QString());
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("12345")) << "a single-line field pastes the first line";
    edit->setText(QStringLiteral("setByCodeIsLong"));
    EXPECT_EQ(edit->text(), QStringLiteral("setByCodeIsLong"));
}

TEST(CustomEdit, KeyEventsCanChangeOrSwallowKeys)
{
    FocusWindow w;
    auto *edit = w.Add<TCustomEdit>();
    ASSERT_TRUE(w.Show());
    edit->setFocus();
    QStringList seen;
    edit->OnKeyDown = [&](QObject *, int &key, Qt::KeyboardModifiers) {
        seen << QStringLiteral("down %1").arg(key, 0, 16);
        if (key == Qt::Key_Delete)
            key = 0;
    };
    edit->OnKeyPress = [&](QObject *, QChar &key) {
        seen << QStringLiteral("press %1").arg(key);
        if (key == QLatin1Char('a'))
            key = QLatin1Char('b');
        else if (key == QLatin1Char('z'))
            key = QChar();
    };
    edit->OnKeyUp = [&](QObject *, int &key, Qt::KeyboardModifiers) {
        seen << QStringLiteral("up %1").arg(key, 0, 16);
    };
    QTest::keyClicks(edit, QStringLiteral("azc"));
    EXPECT_EQ(edit->text(), QStringLiteral("bc"));
    EXPECT_EQ(seen.mid(0, 3),
              QStringList({QStringLiteral("down 41"), QStringLiteral("press a"), QStringLiteral("up 41")}));
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("bc")) << "a Delete key set to 0 does nothing";
    seen.clear();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(seen.contains(QStringLiteral("press ") + QChar(3))) << "Ctrl+C is the character 3";
}

TEST(CustomEdit, FocusEntryAndExitAreMovesBetweenControls)
{
    FocusWindow w;
    auto *edit = w.Add<TCustomEdit>();
    QStringList seen;
    edit->OnEnter = [&](QObject *) { seen << QStringLiteral("enter"); };
    edit->OnExit = [&](QObject *) { seen << QStringLiteral("exit"); };
    edit->setText(QStringLiteral("text"));
    ASSERT_TRUE(w.Show());
    edit->setFocus();
    EXPECT_EQ(edit->selectedText(), QStringLiteral("text"));
    // The window losing and regaining activation is not an exit and an entry.
    QWidget another;
    another.show();
    QApplication::setActiveWindow(&another);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&another));
    ASSERT_TRUE(w.Reactivate());
    EXPECT_EQ(seen, QStringList({QStringLiteral("enter")}));
    w.Other->setFocus();
    EXPECT_EQ(seen, QStringList({QStringLiteral("enter"), QStringLiteral("exit")}));

    edit->SetAutoSelect(false);
    edit->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(edit->hasSelectedText());
}
