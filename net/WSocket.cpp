#include "net/WSocket.h"

TWSocket::TWSocket(QObject *owner) : TCustomSyncWSocket(owner) {}
