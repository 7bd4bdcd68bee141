#pragma once

// Every test program calls this first thing in main(), before its application object:
// unless the caller chose a platform, windows open on Qt's offscreen platform. ctest
// starts each program with --gtest_list_tests to learn its cases, and a GUI program
// without a display would abort before it reads that flag.
void DefaultToOffscreenPlatform();
