#pragma once

#include "ChatRouter.h"
#include "ConnectionLimits.h"
#include "LogSink.h"
#include "NotifyDispatcher.h"
#include "ServerConfig.h"
#include "StateJournal.h"
#include "common/RequestFramer.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qornc::server {

class HashWorkerPool;

// Accepts request connections, cuts their streams into requests and hands each to the router in
// order, a connection waiting while its password is checked; sends what the router decides, ends
// the connections it refuses, and brings a new name into use only once the state journal holds it.
// It never writes on a request connection. All of it runs on one thread, the io_context's, with
// the cost of each event independent of how many connections are open: epoll underneath, one
// shared read buffer, one timer for every login deadline.
class ChatServer {
public:
    // No `journal` keeps nothing beyond the server's life.
    ChatServer(asio::io_context& io, ChatRouter router, ServerConfig config, LogSink log,
               std::unique_ptr<StateJournal> journal = nullptr);
    // Holds what is still queued for delivery, then writes what the journal still holds,
    // whatever happened before.
    ~ChatServer();

    // Runs a task from any thread on `io`'s loop: how the journal reports back.
    static StateJournal::Post postTo(asio::io_context& io);
    ChatServer(const ChatServer&) = delete;
    ChatServer& operator=(const ChatServer&) = delete;

    bool listen(std::string& error);
    std::uint16_t port() const;
    std::size_t connectionCount() const { return connections_.size(); }
    std::size_t pendingNotifications() const { return dispatcher_->pending(); }
    const ChatRouter& router() const { return router_; }
    ChatRouter& router() { return router_; }

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Connection {
        explicit Connection(asio::ip::tcp::socket s, std::string h)
            : socket(std::move(s))
            , host(std::move(h))
        {
        }
        asio::ip::tcp::socket socket;
        std::string host;
        RequestFramer framer{};
        std::deque<std::string> texts{}; // not handled yet; the front one may wait for slow work
        bool waiting = false;            // for slow work or a save
        bool reading = false;            // a wait for bytes is under way
        bool peerClosed = false;
    };
    enum class Read { Data, WouldBlock, Closed };

    void accept();
    void onAccepted(const std::error_code& error, asio::ip::tcp::socket socket);
    bool makeRoom(const std::string& host);
    void adopt(asio::ip::tcp::socket socket, const std::string& host);
    void waitForBytes(ConnectionId id, Connection& connection);
    void pump(ConnectionId id);
    Read readMore(ConnectionId id, Connection& connection);
    void handleFront(ConnectionId id, Connection& connection);
    void act(ConnectionId id, RouteResult result);
    void startWork(ConnectionId id, PasswordWork work);
    void onWorkDone(ConnectionId id, const std::string& host, const PasswordWork& work, const WorkOutcome& outcome);
    void accountSaved(const std::string& name);
    void watchLogin(ConnectionId id);
    void armSweep();
    void sweepLogins();
    void expireHeldSoon();
    void endConnection(ConnectionId id, const std::string& why);
    void forget(ConnectionId id);
    void logAll(const std::vector<std::string>& lines);
    Connection* find(ConnectionId id);

    asio::io_context& io_;
    ChatRouter router_;
    ServerConfig config_;
    LogSink log_;
    ConnectionLimits limits_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer acceptPause_;
    std::unique_ptr<NotifyDispatcher> dispatcher_;
    std::unique_ptr<StateJournal> journal_;
    std::unordered_map<ConnectionId, std::unique_ptr<Connection>> connections_;
    ConnectionId nextId_ = 1;
    // Login deadlines in the order they fall, all checked by one timer.
    std::deque<std::pair<TimePoint, ConnectionId>> loginDeadlines_;
    asio::steady_timer sweepTimer_;
    bool sweepArmed_ = false;
    asio::steady_timer heldTimer_;
    // Every connection reads through this one, so an idle connection costs no buffer.
    std::vector<char> readBuffer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Last, so that its threads stop before anything their results would reach goes.
    std::unique_ptr<HashWorkerPool> workers_;
};

} // namespace qornc::server
