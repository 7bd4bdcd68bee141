#pragma once

#include "net/CustomSslWSocket.h"

// Line mode for text protocols. With LineMode on, received bytes collect in the
// socket's own buffer and OnDataAvailable fires once per complete line ending with
// LineEnd; Receive then hands out exactly that line. Received bytes can be echoed back
// (LineEcho) and edited as a terminal would (LineEdit: backspace and tab). With line
// mode off every byte passes straight through.
//
// A line may not grow without bound: past LineLimit bytes without a line end,
// OnLineTooLong fires and what is held is handed out as a line of its own.
class TCustomLineWSocket : public TCustomSslWSocket {
public:
    explicit TCustomLineWSocket(QObject *owner = nullptr);

    bool LineMode() const { return FLineMode; }
    virtual void SetLineMode(bool value);
    const QByteArray &LineEnd() const { return FLineEnd; }
    void SetLineEnd(const QByteArray &value) { FLineEnd = value; }
    bool LineEcho() const { return FLineEcho; }
    void SetLineEcho(bool value) { FLineEcho = value; }
    bool LineEdit() const { return FLineEdit; }
    void SetLineEdit(bool value) { FLineEdit = value; }
    int LineLimit() const { return FLineLimit; }
    void SetLineLimit(int value) { FLineLimit = value; }
    // Set whenever a complete line (or the final rest at the close) was received.
    bool LineReceived() const { return FLineReceivedFlag; }
    // Bytes held in the line buffer.
    int HeldCount() const { return int(FRcvdBuf.size()); }

    int RcvdCount() override;

    static constexpr int DefaultLineLimit = 65536;

protected:
    void WndProc(TMessage &msg) override;
    int DoRecv(void *buffer, int length, int flags) override;
    bool TriggerDataAvailable(quint16 error) override;
    void TriggerSessionClosed(quint16 error) override;
    // Applies backspace and tab to the bytes from held on; held becomes the first
    // position that changed and count the number of bytes from there.
    virtual void EditLine(int &held, int &count);

private:
    bool ReadPending();
    void ScanLines();
    bool OfferLine();
    void HandleLinePending();

    QByteArray FRcvdBuf;
    QByteArray FLineEnd = QByteArrayLiteral("\r\n");
    bool FLineMode = false;
    int FLineLength = 0;
    bool FLineReceivedFlag = false;
    bool FLineEcho = false;
    bool FLineEdit = false;
    int FLineLimit = DefaultLineLimit;
    // Where the next search for a line end starts: a little before the end of what was
    // searched already, so a line end split over two arrivals is found.
    int FScanFrom = 0;
    bool FOffering = false;
};
