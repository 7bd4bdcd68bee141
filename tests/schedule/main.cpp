#include "platform/gui/Application.h"
#include "i18n/Translations.h"
#include "support/OffscreenDefault.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    DefaultToOffscreenPlatform();
    Application app(argc, argv);
    // As the programs start: the user's language, under the tests' C locale English with its
    // plural forms.
    Translations::Install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
