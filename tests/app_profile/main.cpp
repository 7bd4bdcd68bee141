#include "i18n/Translations.h"
#include "support/OffscreenDefault.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    DefaultToOffscreenPlatform();
    QGuiApplication app(argc, argv);
    // As the programs start: the user's language, under the tests' C locale English with its
    // plural forms.
    Translations::Install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
