#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

// The hidden notification window of a component and the messages posted to it. A
// component owns one TMessageWindow; its window procedure runs from the owning
// thread's event loop, in the order the messages were posted.

inline constexpr quint32 WM_USER = 0x0400;

struct TMessage {
    quint32 Msg = 0;
    quintptr WParam = 0;
    qintptr LParam = 0;
    qintptr Result = 0;
};

// Low and high 16 bits of a message parameter, as the socket messages pack them.
inline constexpr quint16 LoWord(qintptr value)
{
    return quint16(quintptr(value) & 0xFFFF);
}
inline constexpr quint16 HiWord(qintptr value)
{
    return quint16((quintptr(value) >> 16) & 0xFFFF);
}
inline constexpr qintptr MakeLong(quint16 low, quint16 high)
{
    return qintptr(quint32(low) | (quint32(high) << 16));
}

class TMessageEvent : public QEvent {
public:
    // Admit runs on the receiving thread just before delivery; returning false drops
    // the message. The socket layer uses it to discard news about a handle that was
    // closed (and perhaps reused) after the message was posted.
    TMessageEvent(const TMessage &message, std::function<bool()> admit = {});

    static QEvent::Type EventType();

    TMessage Message;
    std::function<bool()> Admit;
};

class TMessageWindow : public QObject {
public:
    using TWndProc = std::function<void(TMessage &)>;

    explicit TMessageWindow(TWndProc wndProc = {}, QObject *parent = nullptr);
    ~TMessageWindow() override;

    void SetWndProc(TWndProc wndProc) { FWndProc = std::move(wndProc); }

    // Delivers a message at once, as SendMessage does.
    qintptr Perform(quint32 msg, quintptr wParam = 0, qintptr lParam = 0);

    // Queues a message for the window's thread; false when there is no window.
    static bool PostMessage(TMessageWindow *window, quint32 msg, quintptr wParam, qintptr lParam,
                            std::function<bool()> admit = {});

    bool event(QEvent *e) override;

private:
    TWndProc FWndProc;
};
