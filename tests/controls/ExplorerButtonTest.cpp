#include "controls/ExplorerButton.h"

#include "platform/gui/Application.h"

#include <QAccessible>
#include <QBuffer>
#include <QMenu>
#include <QPointer>
// Mouse events take the platform's road (window, implicit grab, context menu on the
// right button) instead of going straight to the widget.
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Classic system colours, so that every pixel the paint rules fix has a known value.
const QRgb Face = qRgb(192, 192, 192);
const QRgb Highlight = qRgb(255, 255, 255);
const QRgb Shadow = qRgb(128, 128, 128);
const QRgb Background = qRgb(0, 128, 128);
const QRgb Magenta = qRgb(255, 0, 255);
const QRgb Red = qRgb(255, 0, 0);

// 16 x 16 on magenta (the transparent colour) with a red square from 4 to 11.
QImage Glyph()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Magenta);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            image.setPixel(x, y, Red);
    return image;
}

// The bounding box of the pixels of one colour.
QRect Extent(const QImage &image, QRgb color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

class ExplorerButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FWindow = std::make_unique<QWidget>();
        FWindow->resize(400, 200);
        QPalette p = FWindow->palette();
        p.setColor(QPalette::Window, QColor(Background));
        p.setColor(QPalette::Button, QColor(Face));
        p.setColor(QPalette::Light, QColor(Highlight));
        p.setColor(QPalette::Dark, QColor(Shadow));
        p.setColor(QPalette::WindowText, Qt::black);
        FWindow->setPalette(p);
        FWindow->setAutoFillBackground(true);
        // Keep the mouse clear of the window, so that no button starts out hot.
        QCursor::setPos(2000, 2000);
    }
    void TearDown() override { FWindow.reset(); }

    TExplorerButton *MakeToolbarButton(int left)
    {
        auto *button = new TExplorerButton(FWindow.get());
        button->setGeometry(left, 3, 25, 24);
        button->SetOptions(boIconOnly | boShowBevel);
        // As on the main window's toolbar: the hint goes to the status line only.
        button->SetShowHint(false);
        button->SetBitmap(Glyph());
        return button;
    }

    // Shows the window with the mouse resting on an empty spot of it.
    void Show()
    {
        FWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
        // Two distinct points: a move to where the mouse already is would be dropped,
        // and the new window must see the mouse arrive.
        QTest::mouseMove(FWindow.get(), QPoint(389, 189));
        QTest::mouseMove(FWindow.get(), QPoint(390, 190));
    }

    // The button as it appears on its parent.
    QImage Render(TExplorerButton *button) const
    {
        return FWindow->grab(button->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    static void ExpectBevel(const QImage &image, QRgb first, QRgb second)
    {
        const int w = image.width(), h = image.height();
        EXPECT_EQ(image.pixel(0, h - 1), first) << "bottom-left";
        EXPECT_EQ(image.pixel(0, 0), first) << "top-left";
        EXPECT_EQ(image.pixel(0, h / 2), first) << "left";
        EXPECT_EQ(image.pixel(w - 2, 0), first) << "top";
        EXPECT_EQ(image.pixel(w - 1, 0), second) << "top-right";
        EXPECT_EQ(image.pixel(w - 1, h / 2), second) << "right";
        EXPECT_EQ(image.pixel(w - 1, h - 1), second) << "bottom-right";
        EXPECT_EQ(image.pixel(1, h - 1), second) << "bottom";
    }

    static void ExpectNoBevel(const QImage &image, QRgb background)
    {
        const int w = image.width(), h = image.height();
        for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1), QPoint(w / 2, 0)})
            EXPECT_EQ(image.pixel(p), background) << p.x() << "," << p.y();
    }

    // Menus run their own loop: look at the menu once it is up, then close it. Gives
    // up after a few seconds so that a menu that never shows fails the test instead
    // of hanging it.
    static void CloseWhenShown(QMenu *menu, std::function<void()> look)
    {
        auto *poll = new QTimer(menu);
        auto rounds = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, [=] {
            if (menu->isVisible()) {
                look();
                menu->close();
            } else if (++*rounds < 500) {
                return;
            }
            poll->stop();
            poll->deleteLater();
        });
        poll->start(10);
    }

    std::unique_ptr<QWidget> FWindow;
};

} // namespace

TEST_F(ExplorerButtonTest, NeverTakesTheFocus)
{
    TExplorerButton button;
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
}

TEST_F(ExplorerButtonTest, IconOnlyToolbarButtonAtRestHotPressedAndReleased)
{
    TExplorerButton *button = MakeToolbarButton(6);
    button->SetHint(QStringLiteral(" Print Setup ..."));
    int clicks = 0;
    button->OnClick = [&](QObject *sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    };
    Show();
    EXPECT_EQ(button->statusTip(), QStringLiteral(" Print Setup ..."));
    EXPECT_TRUE(button->toolTip().isEmpty()) << "tooltips stay off unless ShowHint is set";

    // At rest: the image centred, (25 - 16) / 2 = 4 and (24 - 16) / 2 = 4, its magenta
    // background transparent, no frame.
    EXPECT_FALSE(button->MouseInside());
    QImage image = Render(button);
    ExpectNoBevel(image, Background);
    EXPECT_EQ(Extent(image, Red), QRect(8, 8, 8, 8));
    EXPECT_EQ(image.pixel(4, 4), Background);
    EXPECT_EQ(Extent(image, Magenta), QRect());

    // Hot: raised frame, highlight top-left, shadow bottom-right; image in place.
    QTest::mouseMove(button, QPoint(12, 12));
    EXPECT_TRUE(button->MouseInside());
    image = Render(button);
    ExpectBevel(image, Highlight, Shadow);
    EXPECT_EQ(Extent(image, Red), QRect(8, 8, 8, 8));

    // Pressed: sunken frame and the image one pixel right and down.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_TRUE(button->Pressed());
    image = Render(button);
    ExpectBevel(image, Shadow, Highlight);
    EXPECT_EQ(Extent(image, Red), QRect(9, 9, 8, 8));

    // Dragged off while held: drawn like idle.
    QTest::mouseMove(button, QPoint(40, 12));
    EXPECT_FALSE(button->MouseInside());
    image = Render(button);
    ExpectNoBevel(image, Background);
    EXPECT_EQ(Extent(image, Red), QRect(8, 8, 8, 8));

    // Released off the button: no click.
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 0);

    // A press and release on it clicks once.
    QTest::mouseMove(button, QPoint(12, 12));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->Pressed());
    EXPECT_TRUE(button->MouseInside());
    ExpectBevel(Render(button), Highlight, Shadow);

    // A press released off the button without a move in between gives no click either.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ExplorerButtonTest, LoweredBevelStyleSwapsTheColours)
{
    TExplorerButton *button = MakeToolbarButton(6);
    button->SetBevelStyle(bsLowered);
    Show();
    QTest::mouseMove(button, QPoint(12, 12));
    ExpectBevel(Render(button), Shadow, Highlight);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    const QImage image = Render(button);
    ExpectBevel(image, Highlight, Shadow);
    EXPECT_EQ(Extent(image, Red), QRect(9, 9, 8, 8));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));

    // Without boShowBevel no frame is ever drawn.
    button->SetOptions(boIconOnly);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    ExpectNoBevel(Render(button), Background);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
}

TEST_F(ExplorerButtonTest, DisabledButtonIsEtchedAndIgnoresClicks)
{
    TExplorerButton *button = MakeToolbarButton(6);
    button->SetHint(QStringLiteral(" Print ..."));
    int clicks = 0, enters = 0;
    button->OnClick = [&](QObject *) { ++clicks; };
    button->OnEnter = [&](QObject *) { ++enters; };
    button->SetEnabled(false);
    Show();
    enters = 0;

    // Shadow over the image's own pixels, highlight one pixel right and down.
    QImage image = Render(button);
    EXPECT_EQ(Extent(image, Red), QRect());
    EXPECT_EQ(Extent(image, Shadow), QRect(8, 8, 8, 8));
    EXPECT_EQ(Extent(image, Highlight), QRect(9, 9, 8, 8));
    EXPECT_EQ(image.pixel(16, 16), Highlight);
    EXPECT_EQ(image.pixel(16, 8), Background);

    // The mouse still comes and goes (the hint still shows), but a click does nothing.
    QTest::mouseMove(button, QPoint(12, 12));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(Application::Instance()->Hint(), QStringLiteral(" Print ..."));
    ExpectNoBevel(Render(button), Background);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_FALSE(button->Pressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(clicks, 0);

    // Enabling restores the normal look at once.
    button->SetEnabled(true);
    image = Render(button);
    EXPECT_EQ(Extent(image, Red), QRect(8, 8, 8, 8));
    EXPECT_EQ(Extent(image, Shadow), QRect());

    // A disabled picture of its own replaces the etching.
    QImage disabled = Glyph();
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            disabled.setPixel(x, y, qRgb(0, 0, 255));
    button->SetDisabledBitmap(disabled);
    button->SetEnabled(false);
    image = Render(button);
    EXPECT_EQ(Extent(image, qRgb(0, 0, 255)), QRect(8, 8, 8, 8));
    EXPECT_EQ(Extent(image, Shadow), QRect());
}

TEST_F(ExplorerButtonTest, DownButtonShowsTheDitherPatternAndASunkenFrame)
{
    TExplorerButton *button = MakeToolbarButton(6);
    button->SetGroupIndex(1);
    button->SetDown(true);
    Show();
    QImage image = Render(button);
    ExpectBevel(image, Shadow, Highlight);
    // x and y of the same parity: highlight; otherwise button face.
    EXPECT_EQ(image.pixel(2, 2), Highlight);
    EXPECT_EQ(image.pixel(3, 3), Highlight);
    EXPECT_EQ(image.pixel(2, 3), Face);
    EXPECT_EQ(image.pixel(5, 2), Face);
    EXPECT_EQ(Extent(image, Red), QRect(9, 9, 8, 8));
    // The glyph (at 4 + 1, 4 + 1) leaves its background to the pattern.
    EXPECT_EQ(image.pixel(5, 5), Highlight);
    EXPECT_EQ(image.pixel(6, 5), Face);

    button->SetShowDownPattern(false);
    image = Render(button);
    EXPECT_EQ(image.pixel(2, 2), Background);
    EXPECT_EQ(image.pixel(2, 3), Background);
    ExpectBevel(image, Shadow, Highlight);

    // Disabled and down: still the sunken frame, the image etched in place.
    button->SetEnabled(false);
    image = Render(button);
    ExpectBevel(image, Shadow, Highlight);
    EXPECT_EQ(Extent(image, Red), QRect());
}

TEST_F(ExplorerButtonTest, GroupMembersToggleLikeRadioButtons)
{
    auto *a = MakeToolbarButton(6);
    auto *b = MakeToolbarButton(36);
    auto *other = MakeToolbarButton(66);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    other->SetDown(true);
    int clicksA = 0, clicksB = 0;
    a->OnClick = [&](QObject *) { ++clicksA; };
    b->OnClick = [&](QObject *) { ++clicksB; };
    Show();

    auto click = [](TExplorerButton *button) {
        QTest::mouseMove(button, QPoint(12, 12));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
    };
    // A press dragged off before the release changes nothing.
    QTest::mouseMove(a, QPoint(12, 12));
    QTest::mousePress(a, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseMove(a, QPoint(60, 12));
    QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(60, 12));
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(clicksA, 0);

    click(a);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());
    click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    click(b);
    EXPECT_TRUE(b->Down()) << "without AllowAllUp a down button stays down";
    EXPECT_EQ(clicksA, 1);
    EXPECT_EQ(clicksB, 2);

    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp()) << "AllowAllUp is shared by the group";
    EXPECT_FALSE(other->AllowAllUp());
    click(b);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());

    // By code: Down releases the others of the group.
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());

    // Leaving the group releases a down button; a plain button cannot go down.
    b->SetGroupIndex(0);
    EXPECT_FALSE(b->Down());
    b->SetDown(true);
    EXPECT_FALSE(b->Down());
}

TEST_F(ExplorerButtonTest, DropDownMenuOpensBelowTheButtonInsteadOfClicking)
{
    auto *button = new TExplorerButton(FWindow.get());
    button->setGeometry(50, 20, 50, 40);
    button->SetBitmap(Glyph());
    button->SetOptions(boPopupMark | boShowBevel);
    button->SetUnselectedFontColor(QColor(0, 0, 255));
    QMenu menu;
    menu.addAction(QStringLiteral("First"));
    button->SetDropDownMenu(&menu);
    int clicks = 0;
    button->OnClick = [&](QObject *) { ++clicks; };
    Show();

    // The mark sits right of the image: bw = 16 + 10, bx = (50 - 26) / 2 = 12,
    // by = (40 - 16) / 2 = 12; at rest x = 16 + 12 + 3 = 31, y = 8 + 12 = 20.
    QImage image = Render(button);
    EXPECT_EQ(Extent(image, Red), QRect(16, 16, 8, 8));
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_EQ(Extent(image, blue), QRect(31, 19, 7, 4));
    for (int x = 31; x <= 37; ++x)
        EXPECT_EQ(image.pixel(x, 19), blue);
    EXPECT_EQ(image.pixel(31, 20), Background);
    EXPECT_EQ(image.pixel(32, 20), blue);
    EXPECT_EQ(image.pixel(36, 20), blue);
    EXPECT_EQ(image.pixel(37, 20), Background);
    EXPECT_EQ(image.pixel(33, 21), blue);
    EXPECT_EQ(image.pixel(35, 21), blue);
    EXPECT_EQ(image.pixel(32, 21), Background);
    EXPECT_EQ(image.pixel(34, 22), blue);
    EXPECT_EQ(image.pixel(33, 22), Background);

    // While the menu runs the button is drawn pressed, the mark one pixel further
    // (x = 16 + 12 + 4, y = 8 + 12 + 1) in the font colour.
    QPoint menuPos;
    QImage pressed;
    bool menuSeen = false;
    CloseWhenShown(&menu, [&] {
        menuSeen = true;
        menuPos = menu.pos();
        pressed = Render(button);
    });
    QTest::mouseMove(button, QPoint(10, 10));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ(menuPos, button->mapToGlobal(QPoint(0, 40)));
    ASSERT_FALSE(pressed.isNull());
    ExpectBevel(pressed, Shadow, Highlight);
    EXPECT_EQ(Extent(pressed, Red), QRect(17, 17, 8, 8));
    EXPECT_EQ(Extent(pressed, qRgb(0, 0, 0)), QRect(32, 20, 7, 4));

    EXPECT_FALSE(button->Pressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);

    // A destroyed menu is forgotten: the button clicks again and shows no mark.
    button->SetDropDownMenu(new QMenu);
    delete button->DropDownMenu();
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ExplorerButtonTest, ImageAndCaptionPositionsFollowLayoutAndAlignment)
{
    struct Row {
        TExplorerButtonLayout layout;
        TExplorerButton::TAlignment alignment;
        QPoint image;
    };
    // Without a caption the text has no size and no gap: 50 x 40 button, 16 x 16 image.
    const Row rows[] = {
        {blBitmapTop, TExplorerButton::taCenter, {17, 12}},
        {blBitmapTop, TExplorerButton::taLeftJustify, {3, 12}},
        {blBitmapTop, TExplorerButton::taRightJustify, {31, 12}},
        {blBitmapBottom, TExplorerButton::taCenter, {17, 12}},
        {blBitmapBottom, TExplorerButton::taLeftJustify, {3, 12}},
        {blBitmapLeft, TExplorerButton::taLeftJustify, {3, 12}},
        {blBitmapLeft, TExplorerButton::taRightJustify, {31, 12}},
        {blBitmapLeft, TExplorerButton::taCenter, {17, 12}},
        {blBitmapRight, TExplorerButton::taLeftJustify, {3, 12}},
        {blBitmapRight, TExplorerButton::taRightJustify, {31, 12}},
        {blBitmapRight, TExplorerButton::taCenter, {17, 12}},
    };
    auto *button = new TExplorerButton(FWindow.get());
    button->setGeometry(10, 10, 50, 40);
    button->SetBitmap(Glyph());
    button->SetOptions(boShowBevel);
    Show();
    for (const Row &row : rows) {
        button->SetLayout(row.layout);
        button->SetAlignment(row.alignment);
        EXPECT_EQ(Extent(Render(button), Red).topLeft(), row.image + QPoint(4, 4))
            << "layout " << row.layout << " alignment " << row.alignment;
    }

    // With a caption: image left of it, gap 2, centred as a whole.
    button->SetCaption(QStringLiteral("&OK"));
    button->setGeometry(10, 10, 115, 25);
    button->SetUnselectedFontColor(QColor(0, 0, 255));
    button->SetLayout(blBitmapLeft);
    button->SetAlignment(TExplorerButton::taLeftJustify);
    QImage image = Render(button);
    EXPECT_EQ(Extent(image, Red).topLeft(), QPoint(3 + 4, (25 - 16) / 2 + 4));
    const QRect text = Extent(image, qRgb(0, 0, 255));
    ASSERT_TRUE(text.isValid()) << "the caption is drawn in UnselectedFontColor at rest";
    EXPECT_GE(text.left(), 3 + 16 + 2);
    EXPECT_LE(text.left(), 3 + 16 + 2 + 2);

    // The accelerator letter is underlined: the caption reaches lower than without it.
    button->SetCaption(QStringLiteral("OK"));
    const QRect plain = Extent(Render(button), qRgb(0, 0, 255));
    EXPECT_GT(text.bottom(), plain.bottom());
    button->SetCaption(QStringLiteral("&OK"));

    // Bitmap on the right, right-justified: the image ends 3 pixels from the edge.
    button->SetLayout(blBitmapRight);
    button->SetAlignment(TExplorerButton::taRightJustify);
    image = Render(button);
    EXPECT_EQ(Extent(image, Red).topLeft(), QPoint(115 - 16 - 3 + 4, (25 - 16) / 2 + 4));
    EXPECT_LT(Extent(image, qRgb(0, 0, 255)).right(), 115 - 16 - 3 - 2 + 1);

    // Icon only: no caption drawn.
    button->SetOptions(boIconOnly | boShowBevel);
    image = Render(button);
    EXPECT_EQ(Extent(image, qRgb(0, 0, 255)), QRect());
}

TEST_F(ExplorerButtonTest, CaptionAndOptionsKeepTheHintInStep)
{
    struct Row {
        QString caption;
        QString stripped;
    };
    const Row rows[] = {
        {QStringLiteral("&Close"), QStringLiteral("Close")},
        {QStringLiteral(" &OK"), QStringLiteral(" OK")},
        {QStringLiteral("Save && &Load"), QStringLiteral("Save & Load")},
        {QStringLiteral("&&&&"), QStringLiteral("&&")},
        {QStringLiteral("End&"), QStringLiteral("End")},
        {QString(), QString()},
    };
    for (const Row &row : rows)
        EXPECT_EQ(TExplorerButton::StripAccelerator(row.caption), row.stripped) << row.caption.toStdString();

    TExplorerButton button;
    button.SetCaption(QStringLiteral("&Close"));
    button.SetOptions(boShowBevel | boIconOnly);
    EXPECT_EQ(button.Hint(), QStringLiteral("Close"));
    EXPECT_TRUE(button.ShowHint());
    EXPECT_EQ(button.toolTip(), QStringLiteral("Close"));
    EXPECT_EQ(button.statusTip(), QStringLiteral("Close"));

    // A new caption on an icon-only button becomes its hint.
    button.SetCaption(QStringLiteral("E&xit"));
    EXPECT_EQ(button.Hint(), QStringLiteral("Exit"));

    button.SetOptions(boShowBevel);
    EXPECT_TRUE(button.Hint().isEmpty());
    EXPECT_FALSE(button.ShowHint());
    EXPECT_TRUE(button.toolTip().isEmpty());

    // A hint of its own survives both ways.
    button.SetHint(QStringLiteral(" Exit"));
    button.SetOptions(boShowBevel | boIconOnly);
    EXPECT_EQ(button.Hint(), QStringLiteral(" Exit"));
    EXPECT_FALSE(button.ShowHint());
    button.SetOptions(boShowBevel);
    EXPECT_EQ(button.Hint(), QStringLiteral(" Exit"));
}

TEST_F(ExplorerButtonTest, AltAndTheMarkedLetterClickWithVisibleFeedback)
{
    auto *button = new TExplorerButton(FWindow.get());
    button->setGeometry(55, 138, 115, 25);
    button->SetCaption(QStringLiteral(" &Close"));
    button->SetOptions(boPopupMark | boShowBevel);
    int clicks = 0;
    bool pressedSeen = false;
    button->OnClick = [&](QObject *) { ++clicks; };
    button->OnEnter = [&](QObject *) {};
    FWindow->show();
    FWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
    QTest::mouseMove(FWindow.get(), QPoint(5, 5));

    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { pressedSeen |= button->Pressed() && button->MouseInside(); });
    probe.start(0);
    QTest::keyClick(FWindow.get(), Qt::Key_C, Qt::AltModifier);
    probe.stop();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(pressedSeen) << "the press is shown while pending events run";
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->MouseInside()) << "the cursor is not over the button";

    QTest::keyClick(FWindow.get(), Qt::Key_C, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(clicks, 1) << "only Alt and the letter";

    button->SetEnabled(false);
    QTest::keyClick(FWindow.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(true);
    button->hide();
    QTest::keyClick(FWindow.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ExplorerButtonTest, OnClickMayDestroyTheButton)
{
    TExplorerButton *button = MakeToolbarButton(6);
    QPointer<TExplorerButton> guard(button);
    button->OnClick = [button](QObject *) { delete button; };
    Show();
    QTest::mouseMove(button, QPoint(12, 12));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ExplorerButtonTest, EnterAndExitAreReported)
{
    TExplorerButton *button = MakeToolbarButton(6);
    QStringList events;
    button->OnEnter = [&](QObject *) { events << QStringLiteral("enter"); };
    button->OnExit = [&](QObject *) { events << QStringLiteral("exit"); };
    Show();
    QTest::mouseMove(FWindow.get(), QPoint(200, 150));
    QTest::mouseMove(button, QPoint(12, 12));
    QTest::mouseMove(FWindow.get(), QPoint(200, 150));
    EXPECT_EQ(events, (QStringList{QStringLiteral("enter"), QStringLiteral("exit")}));
    EXPECT_FALSE(button->MouseInside());
}

TEST_F(ExplorerButtonTest, MonoImageMapsBrightnessToFourShades)
{
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    const QRgb hl = qRgb(250, 250, 200), sh = qRgb(90, 60, 30);
    struct Row {
        TExplorerButtonShadingType type;
        int sum;
        QRgb expected;
    };
    // At and one above each threshold: s > hi white, s > mid highlight, s > lo shadow.
    const Row rows[] = {
        {stMedium, 554, white}, {stMedium, 553, hl},  {stMedium, 232, hl},   {stMedium, 231, sh},  {stMedium, 58, sh},
        {stMedium, 57, black},  {stMedium, 0, black}, {stLight, 206, white}, {stLight, 205, hl},   {stLight, 128, hl},
        {stLight, 127, sh},     {stLight, 69, sh},    {stLight, 68, black},  {stDark, 336, white}, {stDark, 335, hl},
        {stDark, 275, hl},      {stDark, 274, sh},    {stDark, 176, sh},     {stDark, 175, black}, {stDark, 765, white},
    };
    for (const Row &row : rows) {
        QImage bitmap(3, 1, QImage::Format_RGB32);
        bitmap.fill(qRgb(0, 255, 0));
        const int r = qMin(row.sum, 255), g = qMin(row.sum - r, 255), b = row.sum - r - g;
        bitmap.setPixel(1, 0, qRgb(r, g, b));
        const QImage mono = TExplorerButton::MonoImage(bitmap, row.type, QColor(hl), QColor(sh));
        EXPECT_EQ(mono.pixel(0, 0), qRgb(0, 255, 0)) << "the background stays";
        EXPECT_EQ(mono.pixel(2, 0), qRgb(0, 255, 0)) << "so does every pixel of its colour";
        EXPECT_EQ(mono.pixel(1, 0), row.expected) << "type " << row.type << " sum " << row.sum;
    }
}

TEST_F(ExplorerButtonTest, MonoDisplayShowsTheMonoImageAtRestAndTheBitmapWhenHot)
{
    auto *button = new TExplorerButton(FWindow.get());
    button->setGeometry(10, 10, 25, 24);
    button->SetOptions(boMonoDisplay | boIconOnly | boShowBevel);
    button->SetBitmap(Glyph());
    Show();
    // Red sums to 255: above 231 and not above 553 with stMedium, so highlight.
    QImage image = Render(button);
    EXPECT_EQ(Extent(image, Red), QRect());
    EXPECT_EQ(Extent(image, Highlight), QRect(8, 8, 8, 8));
    EXPECT_EQ(button->IBitmap().pixel(4, 4), Highlight);

    // stDark: 255 lies between 175 and 274, so shadow.
    button->SetShadingType(stDark);
    image = Render(button);
    EXPECT_EQ(Extent(image, Shadow), QRect(8, 8, 8, 8));

    QTest::mouseMove(button, QPoint(12, 12));
    EXPECT_EQ(Extent(Render(button), Red), QRect(8, 8, 8, 8));
    QTest::mouseMove(FWindow.get(), QPoint(200, 150));

    // A picture for the idle state of its own takes precedence.
    QImage idle = Glyph();
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            idle.setPixel(x, y, qRgb(0, 0, 255));
    button->SetNoFocusBitmap(idle);
    EXPECT_EQ(Extent(Render(button), qRgb(0, 0, 255)), QRect(8, 8, 8, 8));
}

TEST_F(ExplorerButtonTest, IBitmapIsStoredAsA24BitBitmapFile)
{
    TExplorerButton button;
    button.SetBitmap(Glyph());
    const QByteArray data = button.IBitmapData();
    ASSERT_GE(data.size(), 54);
    EXPECT_TRUE(data.startsWith("BM"));
    EXPECT_EQ(quint8(data.at(28)) | (quint8(data.at(29)) << 8), 24) << "bits per pixel";

    TExplorerButton other;
    ASSERT_TRUE(other.SetIBitmapData(data));
    EXPECT_EQ(other.IBitmap().size(), QSize(16, 16));
    EXPECT_EQ(other.IBitmap().pixel(4, 4), button.IBitmap().pixel(4, 4));
    EXPECT_EQ(other.IBitmap().pixel(0, 0), Magenta);

    EXPECT_FALSE(other.SetIBitmapData(QByteArray("BM not really a bitmap")));
    EXPECT_FALSE(other.SetIBitmapData(QByteArray()));
    EXPECT_FALSE(other.SetIBitmapData(data.mid(2)));
    EXPECT_EQ(other.IBitmap().size(), QSize(16, 16)) << "a bad value leaves the image as it was";
}

TEST_F(ExplorerButtonTest, ScreenReadersSeeAPushButtonNamedByItsHint)
{
    TExplorerButton *button = MakeToolbarButton(6);
    button->SetHint(QStringLiteral(" Reset the calculator"));
    int clicks = 0;
    button->OnClick = [&](QObject *) { ++clicks; };
    Show();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Reset the calculator"));
    EXPECT_FALSE(iface->state().disabled);
    EXPECT_FALSE(iface->state().focusable);

    QAccessibleActionInterface *actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);

    button->SetEnabled(false);
    EXPECT_TRUE(iface->state().disabled);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);

    // A captioned button is named by its caption.
    auto *ok = new TExplorerButton(FWindow.get());
    ok->SetCaption(QStringLiteral(" &OK"));
    ok->SetOptions(boPopupMark | boShowBevel);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ok)->text(QAccessible::Name), QStringLiteral("OK"));
}

TEST_F(ExplorerButtonTest, ARightClickRunsTheButtonsPopupMenuAndResetsThePress)
{
    TExplorerButton *button = MakeToolbarButton(6);
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    button->SetPopupMenu(&menu);
    Show();
    bool menuSeen = false;
    CloseWhenShown(&menu, [&] { menuSeen = true; });
    QTest::mouseMove(button, QPoint(12, 12));
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(12, 12));
    EXPECT_TRUE(menuSeen);
    EXPECT_FALSE(button->Pressed());
}
