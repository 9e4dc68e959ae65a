#include "net/rules/ConnectionState.h"

#include "net/rules/ErrorNames.h"

void ConnectionState::OnConnected()
{
    g_connected = 1;
    connectEnabled = false;
    disconnectEnabled = true;
}

void ConnectionState::OnConnecting()
{
    g_connected = 0;
    connectEnabled = false;
    disconnectEnabled = true;
}

void ConnectionState::OnConnectFailed()
{
    g_connected = 0;
    connectEnabled = true;
    disconnectEnabled = false;
}

// A dropped link and a clean logout leave the window the same way: ready to connect again.
void ConnectionState::OnDisconnected()
{
    OnConnectFailed();
}

std::string ConnectFailedText(int errorCode)
{
    std::string text = "Can't connect: Error code ";
    text.append(ConnectErrorName(errorCode)) += '.';
    return text;
}

std::string SendErrorText(int errorCode)
{
    std::string text = "Message send error: ";
    text.append(SendErrorName(errorCode)) += '.';
    return text;
}
