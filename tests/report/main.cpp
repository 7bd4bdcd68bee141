#include "platform/gui/Application.h"
#include "support/OffscreenDefault.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    DefaultToOffscreenPlatform();
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
