// Reads arbitrary bytes as a page file, the way the built-in preview's Load button
// reads a file the user picked. Load must end either in a finished store or in its
// own error with the store empty and idle; it must never crash, hang or allocate
// without bound. Every page it accepts is then played, as the preview would show it:
// the page pictures are handed to Qt's picture player, which trusts its input, so an
// accepted page that upsets the player is a finding in our checks, not in Qt.
#include "platform/core/Exceptions.h"
#include "report/QRPageFile.h"
#include "report/QRPrinter.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// A mutated picture almost never keeps its checksum, so nearly every input would end
// at that first test. A second reading gets the checksums of the page pictures put
// right, which takes the fuzzer on to the command walk and to the player.
QByteArray WithChecksumsRepaired(QByteArray bytes)
{
    qsizetype at = QRPageFile::HeaderSize;
    while (at + QRPageFile::RecordHeaderSize + 10 <= bytes.size() &&
           std::memcmp(bytes.constData() + at, QRPageFile::RecordMagic, 4) == 0) {
        const quint32 total = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (total < QRPageFile::RecordHeaderSize + 10 || at + qsizetype(total) > bytes.size())
            break;
        const qsizetype picture = at + QRPageFile::RecordHeaderSize;
        const quint16 sum = qChecksum(
            QByteArrayView(bytes.constData() + picture + 6, total - QRPageFile::RecordHeaderSize - 6));
        bytes[picture + 4] = char(sum >> 8);
        bytes[picture + 5] = char(sum & 0xff);
        at += total + QRPageFile::OffsetSize;
    }
    return bytes;
}

void LoadAndPlay(const QByteArray &bytes)
{
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    TQRPrinter *printer = QRPrinter();
    try {
        printer->Load(file, QStringLiteral("fuzz.QRP"));
    } catch (const Exception &) {
        if (printer->Status() != stIdle || printer->PageCount() != 0 || printer->Page() != nullptr)
            __builtin_trap();
        return;
    }
    if (printer->Status() != stFinished || printer->PageCount() < 1)
        __builtin_trap();

    // A small sheet, whatever size the file claims: every command of the page is played
    // onto it all the same, and filling and scaling onto a sheet of the preview's size
    // (800 x 1100) took half of each run.
    static QImage sheet(200, 275, QImage::Format_ARGB32_Premultiplied);
    for (int page = 1; page <= printer->PageCount(); ++page) {
        printer->SetCurrentPage(page);
        const QPicture *picture = printer->Page();
        if (!picture)
            __builtin_trap();
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        TQRPrinter::DrawPage(painter, *picture, QRectF(0, 0, sheet.width(), sheet.height()));
    }
    printer->ClearPages();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The progress window is a widget: a widget application, without a display. It
    // stays for the whole run: destroyed among the exit handlers it would outlive
    // parts of Qt it needs.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "page_file_fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    Q_UNUSED(app);
    QRPrinter()->SetShowProgress(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    LoadAndPlay(bytes);
    const QByteArray repaired = WithChecksumsRepaired(bytes);
    if (repaired != bytes)
        LoadAndPlay(repaired);
    return 0;
}
