#pragma once

#include <QByteArray>
#include <initializer_list>

// Bytes written as numbers, for protocol replies (SOCKS and the like).
inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
