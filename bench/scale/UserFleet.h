// The simulated users: each logs in from its own loopback address over a request connection of
// its own, and takes its notifications on port kNotifyPort of that address, as the client does.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "DeliveryText.h"
#include "EventLoop.h"
#include "UniqueFd.h"
#include "common/NotificationFramer.h"
#include "common/Protocol.h"

struct FleetOptions {
    int users = 100;
    in_addr server{};
    std::uint16_t serverPort = kServerPort;
    std::uint16_t notifyPort = kNotifyPort;
    int loginWindow = 256;  // logins under way at once, as users arriving over a short while
    // One wildcard listener instead of one per address: the connections the server makes are
    // the same, and it costs one descriptor instead of one per user.
    bool sharedListener = false;
    // Every user's password when set (a state file whose accounts share one hash); otherwise
    // each user's own.
    std::string password;
};

// Deliveries that break what the client relies on: one NUL-terminated text per connection,
// kNotifyReadSize bytes at most.
struct FleetCounters {
    long deliveries = 0;
    long connectionsAccepted = 0;
    long textsPastTheFirst = 0;
    long overlongConnections = 0;
    long textsWithoutNul = 0;
    long linksLost = 0;
    long strayConnections = 0;  // to an address that is no user's
};

class UserFleet {
public:
    using DeliveryHandler = std::function<void(int user, const Delivery&, BenchClock::time_point)>;

    UserFleet(EventLoop& loop, FleetOptions options);
    ~UserFleet();
    UserFleet(const UserFleet&) = delete;
    UserFleet& operator=(const UserFleet&) = delete;

    // Opens the delivery listeners; false when an address's port is taken.
    [[nodiscard]] bool Listen();
    // Users up to `upTo` (all by default) connect, send their login and ask for their own
    // presence; the answer tells each it is in. A later call logs in the next ones.
    void StartLogins(int upTo = -1);
    [[nodiscard]] bool loginsSettled() const { return m_loggedIn + m_loginFailures >= m_loginUpTo; }
    [[nodiscard]] int loggedIn() const { return m_loggedIn; }
    [[nodiscard]] int loginFailures() const { return m_loginFailures; }
    [[nodiscard]] int users() const { return m_options.users; }
    [[nodiscard]] const FleetCounters& counters() const { return m_counters; }
    [[nodiscard]] std::string Password(int user) const;

    // Queues a request block on the user's connection, written at once where the socket takes it.
    void Send(int user, std::string_view block);
    void OnDelivery(DeliveryHandler handler) { m_onDelivery = std::move(handler); }

private:
    struct User {
        UniqueFd link;
        std::string pending;
        bool connected = false;
        bool waitingToWrite = false;
        bool loggedIn = false;
        bool settled = false;
    };
    struct Reader {
        UniqueFd fd;
        int user = 0;
        NotificationFramer framer;
        int texts = 0;
        std::size_t bytes = 0;
        long rank = 0;
    };

    void StartNextLogins();
    void EndLogin(int user, bool loggedIn);
    void OnLinkEvent(int user, std::uint32_t events);
    void Flush(int user);
    void OnAccept(int listenFd, std::optional<int> user);
    void OnReaderEvent(int fd);
    void Take(Reader& reader, const std::string& text, BenchClock::time_point at);
    void CloseReader(int fd);

    EventLoop& m_loop;
    FleetOptions m_options;
    std::vector<User> m_users;
    std::vector<UniqueFd> m_listeners;
    std::unordered_map<int, Reader> m_readers;
    DeliveryHandler m_onDelivery;
    FleetCounters m_counters;
    int m_nextLogin = 0;
    int m_loginUpTo = 0;
    int m_loginsUnderWay = 0;
    int m_loggedIn = 0;
    int m_loginFailures = 0;
};
