// A client state logged in as "ann" against a server on the loopback address.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <string_view>

#include "app/ClientState.h"

inline void SetIdentity(ClientState& state, std::string_view serverIp = "127.0.0.1")
{
    state.g_userId.assign("ann");
    state.g_password.assign("pw1");
    state.g_serverIp.assign(serverIp);
}

// The block a request must occupy on the wire: the text, then NULs up to size.
inline QByteArray Block(const char* text, std::size_t size)
{
    QByteArray block(text);
    block.resize(qsizetype(size), '\0');
    return block;
}
