// The floor the chat server is measured against: the same socket work with nothing else. It
// takes request blocks on its port, remembers which host each name logged in from (no
// passwords, no limits, no log), and for every message or presence query opens a connection
// to the recipient host's notification port and writes the one text. Like the server, it keeps
// one delivery connection per host at a time, the host's texts in the order they came.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "EventLoop.h"
#include "UniqueFd.h"
#include "common/RequestFramer.h"

class BareRelay {
public:
    BareRelay(EventLoop& loop, std::uint16_t notifyPort);
    ~BareRelay();
    BareRelay(const BareRelay&) = delete;
    BareRelay& operator=(const BareRelay&) = delete;

    // false when address:port cannot be had; port 0 picks one, told by port().
    [[nodiscard]] bool Listen(in_addr address, std::uint16_t port);
    [[nodiscard]] std::uint16_t port() const;
    [[nodiscard]] long deliveryFailures() const { return m_deliveryFailures; }

private:
    struct RequestLink {
        UniqueFd fd;
        in_addr peer{};
        RequestFramer framer;
    };
    struct HostQueue {
        std::deque<std::string> texts;
        UniqueFd delivering;
    };

    void Accept();
    void Read(int fd);
    void Handle(in_addr peer, std::string_view request);
    void Enqueue(std::uint32_t host, std::string text);
    void StartDelivery(std::uint32_t host);
    void FinishDelivery(std::uint32_t host, std::uint32_t events);

    EventLoop& m_loop;
    std::uint16_t m_notifyPort;
    UniqueFd m_listener;
    std::unordered_map<int, RequestLink> m_links;
    std::unordered_map<std::string, std::uint32_t> m_hostOfName;
    std::unordered_map<std::uint32_t, HostQueue> m_hosts;
    long m_deliveryFailures = 0;
};
