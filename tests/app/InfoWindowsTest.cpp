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

#include <algorithm>

#include <gtest/gtest.h>

namespace {

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

// The geometry is checked with every window's invariants; here what the design fixes besides.
TEST(InfoWindowsTest, SplashScreenLooksAsDesigned)
{
    TSplashScreen splash;
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("Tallowmere, 1.1"));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
    ExpectDesignFont(splash.font(), false);
    const QImage stored(QStringLiteral(":/images/logo.png"));
    EXPECT_EQ(stored.format(), QImage::Format_Indexed8);
    EXPECT_EQ(splash.Timer1->interval(), 3500);
    EXPECT_FALSE(splash.Timer1->isActive()) << "disabled as laid out";

    // The logo shows on the white panel inside the silver border.
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    ExpectCentred(splash);
    const QImage image = splash.grab().toImage();
    const QPoint logoAt = splash.ImgLogo->mapTo(&splash, QPoint(150, 40));
    EXPECT_EQ(image.pixel(logoAt), splash.ImgLogo->pixmap().toImage().pixel(150, 40));
    EXPECT_EQ(image.pixel(3, 3), qRgb(192, 192, 192));
    EXPECT_EQ(image.pixel(splash.Panel1->mapTo(&splash, QPoint(1, 1))), qRgb(255, 255, 255));
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

TEST(InfoWindowsTest, AboutBoxTexts)
{
    TAboutBox about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tallowmere, 1.1"));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & Qt::WindowCloseButtonHint) << "no close box";
    EXPECT_FALSE(about.windowFlags() & Qt::WindowSystemMenuHint);
    ExpectDesignFont(about.font(), false);

    // Top to bottom, the lines read as one text.
    QList<QLabel *> lines = {about.Label4,  about.Label5,  about.Label6, about.Label3, about.Label7,
                             about.Label10, about.Label12, about.Label1, about.Label8};
    QStringList texts;
    for (QLabel *line : lines)
        texts << line->text();
    EXPECT_EQ(texts, (QStringList{
                         QStringLiteral(" Corvane Software creates award-winning financial calculators for"),
                         QStringLiteral("consumers, professionals and corporations in the banking, real estate,"),
                         QStringLiteral("mortgage and financial services industries."),
                         QStringLiteral(" We invite you to visit our website at,"),
                         QStringLiteral("and explore the other freeware and shareware financial"),
                         QStringLiteral("calculators which are available for you to download."),
                         QStringLiteral(" We also invite you to contact us with any questions or"),
                         QStringLiteral("suggestions you might have about Corvane"),
                         QStringLiteral("Software and our financial calculators.  "),
                     }));
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); }));

    EXPECT_EQ(about.UrlLabel1->Caption(), QStringLiteral("www.corvane.example"));
    EXPECT_EQ(about.UrlLabel1->URL(), Links::HomePage);
    EXPECT_EQ(TAboutBox::CommentsAddress, QStringLiteral("comments@corvane.example"));
    EXPECT_EQ(about.UrlLabel1->Hint(), QStringLiteral(" Click to visit our website ..."));
    EXPECT_EQ(about.UrlLabel2->Caption(), TAboutBox::CommentsAddress);
    EXPECT_EQ(about.UrlLabel2->URL(), QStringLiteral("mailto:") + TAboutBox::CommentsAddress);
    EXPECT_EQ(about.UrlLabel2->Hint(), QStringLiteral(" Click to send email ..."));
    EXPECT_FALSE(about.Label2->text().isEmpty());
    EXPECT_EQ(TextColour(about.Label2), qRgb(128, 128, 128));
    EXPECT_EQ(about.btnClose->Caption(), QStringLiteral("&OK"));
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
        const QRect textRect(
            label->pos(), QSize(label->fontMetrics().horizontalAdvance(label->text()), label->fontMetrics().height()));
        const QRect overlap = textRect.intersected(pictureRect);
        if (overlap.isEmpty())
            continue;
        EXPECT_GT(about.Panel1->children().indexOf(label), about.Panel1->children().indexOf(about.Image1))
            << label->objectName().toStdString();
        int inked = 0;
        for (int y = overlap.top(); y <= overlap.bottom(); ++y)
            for (int x = overlap.left(); x <= overlap.right(); ++x)
                inked += picture.pixel(x - pictureRect.left(), y - pictureRect.top()) != qRgb(255, 255, 255);
        EXPECT_EQ(inked, 0) << label->objectName().toStdString();
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

TEST(InfoWindowsTest, DisclaimerTexts)
{
    TfrmDisclaim disclaim;
    EXPECT_EQ(disclaim.windowTitle(), QStringLiteral("Disclaimer"));
    EXPECT_EQ(disclaim.minimumSize(), disclaim.maximumSize());
    EXPECT_FALSE(disclaim.windowFlags() & Qt::WindowCloseButtonHint) << "no close box";
    EXPECT_FALSE(disclaim.windowFlags() & Qt::WindowSystemMenuHint);
    ExpectDesignFont(disclaim.font(), false);
    disclaim.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&disclaim));
    ExpectCentred(disclaim);

    EXPECT_EQ(disclaim.Label3->text(),
              QStringLiteral("NOTE:  While effort was made to ensure the accuracy of these calculations,"));
    EXPECT_EQ(disclaim.Label10->text(),
              QStringLiteral("there is  NO WARRANTY,  expressed or implied, for the accuracy or the applicability of "
                             "this information to your particular financial question."));
    EXPECT_EQ(disclaim.Label12->text(),
              QStringLiteral("Please consult a qualified financial advisor before making any financial decision."));
    // The warning stands out in bold red.
    EXPECT_EQ(TextColour(disclaim.Label10), qRgb(255, 0, 0));
    EXPECT_TRUE(disclaim.Label10->font().bold());
    EXPECT_FALSE(disclaim.Label3->font().bold());
    EXPECT_EQ(disclaim.btnClose->Caption(), QStringLiteral(" &OK"));
    EXPECT_EQ(disclaim.btnClose->Hint(), QStringLiteral(" Close Disclaimer"));
}

TEST(InfoWindowsTest, DisclaimerClosesByItsOkButton)
{
    TfrmDisclaim disclaim;
    bool clicked = false;
    ClickWhenShown(&disclaim, disclaim.btnClose, &clicked);
    EXPECT_EQ(disclaim.exec(), QDialog::Rejected);
    EXPECT_TRUE(clicked);
}
