// A request sender that keeps every block it is handed and fails the calls a test chooses.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "net/rules/RequestSender.h"

class RecordingSender : public RequestSender {
public:
    // call counts from 1; a failing call is still recorded, as a real socket saw the attempt.
    void FailCall(std::size_t call, int errorCode)
    {
        m_failing.insert(call);
        m_errorCode = errorCode;
    }

    SendResult Send(std::string_view block) override
    {
        blocks.emplace_back(block);
        if (m_failing.contains(blocks.size()))
            return {-1, m_errorCode};
        return {static_cast<long>(block.size()), 0};
    }

    std::vector<std::string> blocks;

private:
    std::set<std::size_t> m_failing;
    int m_errorCode = 0;
};
