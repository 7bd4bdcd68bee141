#include "app/AboutBox.h"
#include "app/Disclaim.h"
#include "app/Links.h"
#include "app/SplashScreen.h"

#include "controls/ExplorerButton.h"
#include "controls/Panel.h"
#include "controls/UrlLabel.h"
#include "platform/gui/Fonts.h"

#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QScreen>
// Mouse events take the platform's road (window, implicit grab) instead of going
// straight to the widget.
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct LabelRow {
    QLabel *label;
    QPoint position;
    QString text;
};

// "Arial, height 11" is read as the main window and the report read it: an 11-pixel
// character cell, which is a 10-pixel em in Liberation Sans.
void ExpectDesignFont(const QFont &font, bool bold)
{
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(font.pixelSize(), 10);
    EXPECT_EQ(font.pixelSize(), Fonts::Make(QStringLiteral("Arial"), 11).pixelSize());
    EXPECT_EQ(font.bold(), bold);
}

QRgb TextColour(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText).rgb();
}

// The window, frame included, is centred on its screen.
void ExpectCentred(const QWidget &w)
{
    const QPoint centre = w.screen()->geometry().center();
    EXPECT_LE(qAbs(w.frameGeometry().center().x() - centre.x()), 1);
    EXPECT_LE(qAbs(w.frameGeometry().center().y() - centre.y()), 1);
}

// Clicks the OK button once the dialog's modal loop runs; closes the dialog by force
// if that does not end it, so that a failure cannot hang the test.
void ClickWhenShown(QDialog *dialog, TExplorerButton *button, bool *clicked)
{
    QTimer::singleShot(0, dialog, [=] {
        QTest::mouseMove(button, QPoint(20, 12));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 12));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 12));
        *clicked = true;
        QTimer::singleShot(2000, dialog, [dialog] {
            if (dialog->isVisible())
                dialog->done(99);
        });
    });
}

} // namespace

TEST(InfoWindowsTest, SplashScreenLayout)
{
    TSplashScreen splash;
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("Tallowmere, 1.1"));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash.size(), QSize(326, 184));
    EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
    EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(TextColour(&splash), qRgb(0, 0, 0));
    ExpectDesignFont(splash.font(), false);

    EXPECT_EQ(splash.Panel2->geometry(), QRect(0, 0, 326, 184));
    EXPECT_EQ(splash.Panel2->BevelOuter(), bvRaised);
    EXPECT_EQ(splash.Panel2->BevelInner(), bvLowered);
    EXPECT_EQ(splash.Panel2->BorderWidth(), 5);
    EXPECT_EQ(splash.Panel2->Color(), QColor(192, 192, 192));
    EXPECT_EQ(splash.Panel1->parentWidget(), splash.Panel2);
    EXPECT_EQ(splash.Panel1->geometry(), QRect(7, 7, 311, 169));
    EXPECT_EQ(splash.Panel1->BevelOuter(), bvNone);
    EXPECT_EQ(splash.Panel1->Color(), QColor(Qt::white));
    EXPECT_EQ(splash.ImgLogo->parentWidget(), splash.Panel1);
    EXPECT_EQ(splash.ImgLogo->geometry(), QRect(6, 5, 300, 162));

    const QImage logo = splash.ImgLogo->pixmap().toImage();
    EXPECT_EQ(logo.size(), QSize(300, 162));
    const QImage stored(QStringLiteral(":/images/logo.png"));
    EXPECT_EQ(stored.format(), QImage::Format_Indexed8);
    EXPECT_LE(stored.colorCount(), 256);

    EXPECT_EQ(splash.Timer1->interval(), 3500);
    EXPECT_FALSE(splash.Timer1->isActive()) << "disabled as laid out";

    // Raised outer bevel, silver border, lowered inner bevel, then the white panel
    // with the logo.
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    ExpectCentred(splash);
    const QImage image = splash.grab().toImage();
    const QRgb light = splash.palette().color(QPalette::Light).rgb();
    const QRgb dark = splash.palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(image.pixel(0, 0), light);
    EXPECT_EQ(image.pixel(325, 183), dark);
    EXPECT_EQ(image.pixel(3, 3), qRgb(192, 192, 192));
    EXPECT_EQ(image.pixel(6, 6), dark);
    EXPECT_EQ(image.pixel(319, 177), light);
    EXPECT_EQ(image.pixel(8, 8), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(7 + 6 + 150, 7 + 5 + 40), logo.pixel(150, 40));
}

TEST(InfoWindowsTest, SplashTimerHidesTheWindowOnceAndKeepsIt)
{
    auto *splash = new TSplashScreen;
    QPointer<TSplashScreen> guard(splash);
    // The designed 3.5 s is checked above; the behaviour does not depend on it.
    splash->Timer1->setInterval(200);
    splash->Timer1->start();
    splash->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    EXPECT_TRUE(splash->isVisible());
    for (int i = 0; i < 1000 && splash->isVisible(); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(splash->isVisible());
    EXPECT_FALSE(splash->Timer1->isActive()) << "the timer is stopped before the window closes";
    QTest::qWait(10);
    EXPECT_FALSE(guard.isNull()) << "closing only hides the splash";
    EXPECT_FALSE(splash->testAttribute(Qt::WA_QuitOnClose));
    delete splash;
}

TEST(InfoWindowsTest, AboutBoxLayoutAndTexts)
{
    TAboutBox about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tallowmere, 1.1"));
    EXPECT_EQ(about.size(), QSize(416, 269));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_TRUE(about.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint) << "no close box";
    EXPECT_FALSE(about.windowFlags() & Qt::WindowSystemMenuHint);
    ExpectDesignFont(about.font(), false);

    EXPECT_EQ(about.Panel1->geometry(), QRect(6, 6, 405, 227));
    EXPECT_EQ(about.Panel1->BevelInner(), bvRaised);
    EXPECT_EQ(about.Panel1->BevelOuter(), bvLowered);
    EXPECT_EQ(about.Panel1->Color(), QColor(Qt::white));

    const LabelRow rows[] = {
        {about.Label4, {8, 15}, QStringLiteral(" Corvane Software creates award-winning financial calculators for")},
        {about.Label5, {10, 30}, QStringLiteral("consumers, professionals and corporations in the banking, real estate,")},
        {about.Label6, {10, 45}, QStringLiteral("mortgage and financial services industries.")},
        {about.Label3, {8, 75}, QStringLiteral(" We invite you to visit our website at,")},
        {about.Label7, {10, 90}, QStringLiteral("and explore the other freeware and shareware financial")},
        {about.Label10, {10, 105}, QStringLiteral("calculators which are available for you to download.")},
        {about.Label12, {8, 135}, QStringLiteral(" We also invite you to contact us with any questions or")},
        {about.Label1, {10, 150}, QStringLiteral("suggestions you might have about Corvane")},
        {about.Label8, {10, 165}, QStringLiteral("Software and our financial calculators.  ")},
    };
    for (const LabelRow &row : rows) {
        EXPECT_EQ(row.label->parentWidget(), about.Panel1);
        EXPECT_EQ(row.label->pos(), row.position) << row.text.toStdString();
        EXPECT_EQ(row.label->text(), row.text);
        EXPECT_EQ(TextColour(row.label), qRgb(0, 0, 0));
        EXPECT_FALSE(row.label->autoFillBackground()) << "the panel's white shows through";
        ExpectDesignFont(row.label->font(), false);
        // Sized to the whole text: nothing is cut off.
        EXPECT_GE(row.label->width(), row.label->fontMetrics().horizontalAdvance(row.text.trimmed()));
    }

    EXPECT_EQ(about.UrlLabel1->geometry(), QRect(195, 74, 118, 14));
    EXPECT_EQ(about.UrlLabel1->Caption(), QStringLiteral("www.corvane.example"));
    EXPECT_EQ(about.UrlLabel1->URL(), Links::HomePage);
    EXPECT_EQ(TAboutBox::CommentsAddress, QStringLiteral("comments@corvane.example"));
    EXPECT_EQ(about.UrlLabel1->Hint(), QStringLiteral(" Click to visit our website ..."));
    EXPECT_EQ(about.UrlLabel2->geometry(), QRect(10, 184, 164, 14));
    EXPECT_EQ(about.UrlLabel2->Caption(), TAboutBox::CommentsAddress);
    EXPECT_EQ(about.UrlLabel2->URL(), QStringLiteral("mailto:") + TAboutBox::CommentsAddress);
    EXPECT_EQ(about.UrlLabel2->Hint(), QStringLiteral(" Click to send email ..."));
    for (TUrlLabel *link : {about.UrlLabel1, about.UrlLabel2}) {
        EXPECT_EQ(link->FontColor(), QColor(0, 0, 255));
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(QFontInfo(link->font()).family(), QStringLiteral("Liberation Sans"));
    }

    EXPECT_EQ(about.Label2->geometry(), QRect(10, 204, 388, 14));
    EXPECT_FALSE(about.Label2->text().isEmpty());
    EXPECT_EQ(TextColour(about.Label2), qRgb(128, 128, 128));
    EXPECT_LE(about.Label2->fontMetrics().horizontalAdvance(about.Label2->text()), 388);

    EXPECT_EQ(about.Image1->geometry(), QRect(248, 65, 144, 155));
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(144, 155));
    EXPECT_LE(QImage(QStringLiteral(":/images/about.png")).colorCount(), 256);

    EXPECT_EQ(about.btnClose->parentWidget(), &about);
    EXPECT_EQ(about.btnClose->geometry(), QRect(150, 239, 115, 25));
    EXPECT_EQ(about.btnClose->Caption(), QStringLiteral("&OK"));
    EXPECT_EQ(about.btnClose->Layout(), blBitmapLeft);
    EXPECT_EQ(about.btnClose->Options(), boPopupMark | boShowBevel);
    EXPECT_FALSE(about.btnClose->Bitmap().isNull());
}

TEST(InfoWindowsTest, AboutTextIsNotHiddenByThePicture)
{
    TAboutBox about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    ExpectCentred(about);
    // Every label that reaches into the picture is drawn over it, and the picture is
    // white where the text runs.
    const QImage picture = about.Image1->pixmap().toImage();
    const QRect pictureRect = about.Image1->geometry();
    for (QLabel *label : about.Panel1->findChildren<QLabel *>()) {
        if (label == about.Image1)
            continue;
        const QRect textRect(label->pos(), QSize(label->fontMetrics().horizontalAdvance(label->text()),
                                                  label->fontMetrics().height()));
        const QRect overlap = textRect.intersected(pictureRect);
        if (overlap.isEmpty())
            continue;
        EXPECT_GT(about.Panel1->children().indexOf(label), about.Panel1->children().indexOf(about.Image1))
            << label->objectName().toStdString();
        for (int y = overlap.top(); y <= overlap.bottom(); ++y)
            for (int x = overlap.left(); x <= overlap.right(); ++x)
                ASSERT_EQ(picture.pixel(x - pictureRect.left(), y - pictureRect.top()), qRgb(255, 255, 255))
                    << label->objectName().toStdString() << " at " << x << "," << y;
    }

    // Lowered outer bevel: shadow on the top and left; then the raised inner one.
    const QImage image = about.grab().toImage();
    const QRgb light = about.palette().color(QPalette::Light).rgb();
    const QRgb dark = about.palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(image.pixel(6, 100), dark);
    EXPECT_EQ(image.pixel(100, 6), dark);
    EXPECT_EQ(image.pixel(7, 100), light);
    EXPECT_EQ(image.pixel(100, 7), light);
    EXPECT_EQ(image.pixel(6 + 404, 100), light);
    EXPECT_EQ(image.pixel(6 + 403, 100), dark);
    EXPECT_EQ(image.pixel(9, 9 + 100), qRgb(255, 255, 255));
}

TEST(InfoWindowsTest, AboutClosesByItsOkButtonOnly)
{
    TAboutBox about;
    QTimer::singleShot(0, &about, [&] {
        // Escape is not a way out: there is no Cancel button.
        QTest::keyClick(&about, Qt::Key_Escape);
        EXPECT_TRUE(about.isVisible());
    });
    bool clicked = false;
    ClickWhenShown(&about, about.btnClose, &clicked);
    const int result = about.exec();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(result, QDialog::Rejected) << "closing a modal window gives the result cancel";
}

TEST(InfoWindowsTest, AboutOkAnswersItsAccelerator)
{
    TAboutBox about;
    QTimer::singleShot(0, &about, [&] {
        about.activateWindow();
        if (QTest::qWaitForWindowActive(&about))
            QTest::keyClick(&about, Qt::Key_O, Qt::AltModifier);
        QTimer::singleShot(2000, &about, [&] {
            if (about.isVisible())
                about.done(99);
        });
    });
    EXPECT_EQ(about.exec(), QDialog::Rejected);
}

TEST(InfoWindowsTest, DisclaimerLayoutAndTexts)
{
    TfrmDisclaim disclaim;
    EXPECT_EQ(disclaim.windowTitle(), QStringLiteral("Disclaimer"));
    EXPECT_EQ(disclaim.size(), QSize(224, 165));
    EXPECT_EQ(disclaim.minimumSize(), disclaim.maximumSize());
    EXPECT_FALSE(disclaim.windowFlags() & Qt::WindowCloseButtonHint) << "no close box";
    EXPECT_FALSE(disclaim.windowFlags() & Qt::WindowSystemMenuHint);
    ExpectDesignFont(disclaim.font(), false);

    disclaim.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&disclaim));
    ExpectCentred(disclaim);
    EXPECT_EQ(disclaim.Panel1->geometry(), QRect(0, 0, 224, 135));
    EXPECT_EQ(disclaim.Panel1->Align(), alTop);
    EXPECT_EQ(disclaim.Panel1->BevelInner(), bvRaised);
    EXPECT_EQ(disclaim.Panel1->BevelOuter(), bvLowered);
    EXPECT_EQ(disclaim.Panel1->Color(), QColor(Qt::white));

    struct Row {
        QLabel *label;
        QRect geometry;
        QString text;
        QRgb colour;
        bool bold;
    };
    const Row rows[] = {
        {disclaim.Label3, {7, 8, 210, 42},
         QStringLiteral("NOTE:  While effort was made to ensure the accuracy of these calculations,"), qRgb(0, 0, 0),
         false},
        {disclaim.Label10, {12, 36, 200, 56},
         QStringLiteral("there is  NO WARRANTY,  expressed or implied, for the accuracy or the applicability of "
                        "this information to your particular financial question."),
         qRgb(255, 0, 0), true},
        {disclaim.Label12, {10, 97, 204, 31},
         QStringLiteral("Please consult a qualified financial advisor before making any financial decision."),
         qRgb(0, 0, 0), false},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.label->parentWidget(), disclaim.Panel1);
        EXPECT_EQ(row.label->geometry(), row.geometry) << row.text.toStdString();
        EXPECT_EQ(row.label->text(), row.text);
        EXPECT_EQ(TextColour(row.label), row.colour);
        EXPECT_TRUE(row.label->wordWrap());
        EXPECT_EQ(row.label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        ExpectDesignFont(row.label->font(), row.bold);
        // The wrapped text fits the designed box: nothing is cut off at the bottom.
        EXPECT_LE(row.label->heightForWidth(row.geometry.width()), row.geometry.height())
            << row.text.toStdString();
    }

    EXPECT_EQ(disclaim.btnClose->parentWidget(), &disclaim);
    EXPECT_EQ(disclaim.btnClose->geometry(), QRect(55, 138, 115, 25));
    EXPECT_EQ(disclaim.btnClose->Caption(), QStringLiteral(" &OK"));
    EXPECT_EQ(disclaim.btnClose->Hint(), QStringLiteral(" Close Disclaimer"));
    EXPECT_EQ(disclaim.btnClose->Layout(), blBitmapLeft);
    EXPECT_EQ(disclaim.btnClose->Options(), boPopupMark | boShowBevel);
    EXPECT_FALSE(disclaim.btnClose->Bitmap().isNull());
}

TEST(InfoWindowsTest, DisclaimerClosesByItsOkButton)
{
    TfrmDisclaim disclaim;
    bool clicked = false;
    ClickWhenShown(&disclaim, disclaim.btnClose, &clicked);
    EXPECT_EQ(disclaim.exec(), QDialog::Rejected);
    EXPECT_TRUE(clicked);
}
