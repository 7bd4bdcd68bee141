#pragma once

#include "platform/core/Messages.h"

#include <QObject>
#include <exception>
#include <functional>

enum TSocketState { wsInvalidState, wsOpened, wsBound, wsConnecting, wsConnected, wsAccepting, wsListening, wsClosed };
enum TSocketSendFlags { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

using TNotifyEvent = std::function<void(QObject *Sender)>;
using TSessionAvailable = std::function<void(QObject *Sender, quint16 Error)>;
using TSessionConnected = std::function<void(QObject *Sender, quint16 Error)>;
using TSessionClosed = std::function<void(QObject *Sender, quint16 Error)>;
using TDataAvailable = std::function<void(QObject *Sender, quint16 Error)>;
using TDataSent = std::function<void(QObject *Sender, quint16 Error)>;
using TDnsLookupDone = std::function<void(QObject *Sender, quint16 Error)>;
using TChangeState = std::function<void(QObject *Sender, TSocketState OldState, TSocketState NewState)>;
using TBgExceptionEvent = std::function<void(QObject *Sender, const std::exception &E, bool &CanClose)>;

// Messages of a socket's notification window.
inline constexpr quint32 WM_SOCKET_EVENT = WM_USER + 1;
inline constexpr quint32 WM_NAME_LOOKUP_DONE = WM_USER + 2;
inline constexpr quint32 WM_ADDR_LOOKUP_DONE = WM_USER + 3;
inline constexpr quint32 WM_LINE_PENDING = WM_USER + 20;

// What the synchronous wait answers when its time runs out or the program is ending.
inline constexpr int WSA_WSOCKET_TIMEOUT = 12001;
