// Where request blocks go: the server connection in the program, a recorder in tests.
#pragma once

#include <string_view>

struct SendResult {
    long bytes = -1;    // bytes handed over, or -1 on failure
    int errorCode = 0;  // Windows Sockets code of the failure
    [[nodiscard]] bool failed() const { return bytes == -1; }
};

class RequestSender {
public:
    virtual ~RequestSender() = default;
    virtual SendResult Send(std::string_view block) = 0;
};
