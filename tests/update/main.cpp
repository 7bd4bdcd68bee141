#include "i18n/Translations.h"
#include "platform/gui/Application.h"
#include "support/OffscreenDefault.h"
#include "update/WebFileInfo.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

// The child of the file size limit test: downloads argv[2] to argv[3] with files
// limited to argv[4] bytes and prints what went wrong. SIGXFSZ is ignored, as in a
// program that handles its write errors, so the write that meets the limit fails with
// EFBIG instead of ending the process.
int DownloadUnderFileSizeLimit(int argc, char **argv)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t bytes = rlim_t(std::strtoll(argv[4], nullptr, 10));
    const rlimit limit{bytes, bytes};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 2;
    Application app(argc, argv);
    TWebFileInfo wfi;
    wfi.SetHttpTimeout(10);
    const bool saved = wfi.DownloadFile(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                        QStringLiteral("Downloading Update"));
    std::printf("%s\n", qPrintable(wfi.LastError()));
    return saved ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    DefaultToOffscreenPlatform();
    if (argc == 5 && std::strcmp(argv[1], "--download-under-file-size-limit") == 0)
        return DownloadUnderFileSizeLimit(argc, argv);
    Application app(argc, argv);
    // As the programs start: the user's language, under the tests' C locale English with its
    // plural forms.
    Translations::Install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
