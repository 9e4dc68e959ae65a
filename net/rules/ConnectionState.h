// The request connection's two states as the window shows them: the flag and the two buttons.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kNoStatusText = "No status messages.";

struct ConnectionState {
    int g_connected = 0;
    bool connectEnabled = true;    // "&Connect" (id 2)
    bool disconnectEnabled = true; // "&Disconnect" (id 3)

    void OnConnected();            // Connected: Connect disabled, Disconnect enabled
    void OnConnecting();           // an attempt runs: Connect disabled, Disconnect abandons it
    void OnConnectFailed();        // Disconnected
    void OnDisconnected();         // after a successful logout, or the link dropped
};

// "Can't connect: Error code %s." with the name from kConnectErrorNames.
[[nodiscard]] std::string ConnectFailedText(int errorCode);
// "Message send error: %s." with the name from kSendErrorNames.
[[nodiscard]] std::string SendErrorText(int errorCode);
