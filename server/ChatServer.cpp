#include "ChatServer.h"

#include "HashWorkerPool.h"
#include "common/PeerAddress.h"

#include <asio/post.hpp>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

namespace qornc::server {

namespace {

// Enough for a few hundred blocks per read; shared by every connection.
constexpr std::size_t kReadChunk = 64 * 1024;

// Room for a burst of connects while the event loop is busy, so that a host
// opening hundreds at once does not crowd others out of the kernel's queue.
constexpr int kListenBacklog = 4096;

// Login deadlines are looked at no more often than this, so that thousands of them cost one wake-up.
constexpr auto kSweepGranularity = std::chrono::seconds(1);
constexpr auto kHeldExpiryPeriod = std::chrono::minutes(1);
// When the descriptors run out, accepting pauses this long rather than spinning.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

// Notifications go back to this address, so clients reaching an IPv6 socket
// through IPv4 must be seen as their plain IPv4 address.
std::string hostText(const asio::ip::address& address)
{
    return PlainAddressText(address.to_string());
}

std::size_t hashThreads(std::size_t configured)
{
    return configured > 0 ? configured : std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
}

std::string connectionName(ConnectionId id)
{
    return "connection #" + std::to_string(id);
}

} // namespace

ChatServer::ChatServer(asio::io_context& io, ChatRouter router, ServerConfig config, LogSink log,
                       std::unique_ptr<StateJournal> journal)
    : io_(io)
    , router_(std::move(router))
    , config_(std::move(config))
    , log_(std::move(log))
    , limits_(config_.maxConnections, config_.maxConnectionsPerHost)
    , acceptor_(io)
    , acceptPause_(io)
    , journal_(std::move(journal))
    , sweepTimer_(io)
    , heldTimer_(io)
    , readBuffer_(kReadChunk)
{
    dispatcher_ = std::make_unique<NotifyDispatcher>(
        io_, config_.notifyPort, config_.dispatch, log_,
        NotifyDispatcher::Hooks{[this](const Notification& done) { router_.delivered(done); },
                                [this](std::vector<Notification> late) {
                                    logAll(router_.holdUndelivered(std::move(late)));
                                }});
    if (!journal_) {
        journal_ = std::make_unique<StateJournal>();
        (void)journal_->open({}, log_, postTo(io_));
    }
    workers_ = std::make_unique<HashWorkerPool>(
        hashThreads(config_.hashThreads), config_.maxQueuedChecks,
        [this](std::function<void()> task) { asio::post(io_, std::move(task)); });
    expireHeldSoon();
}

ChatServer::~ChatServer()
{
    // What is still queued survives as held messages; answers to requests do not matter any more.
    std::vector<Notification> queued = dispatcher_->takeAll();
    const auto messages = std::count_if(queued.begin(), queued.end(),
                                        [](const Notification& n) { return !n.recipient.empty(); });
    if (messages > 0)
        log_("stopping: " + std::to_string(messages) + " queued message(s) held for their recipients");
    logAll(router_.holdUndelivered(std::move(queued)));
    // Before anything else goes, so that its last words are logged in order.
    journal_.reset();
}

StateJournal::Post ChatServer::postTo(asio::io_context& io)
{
    return [&io](std::function<void()> task) { asio::post(io, std::move(task)); };
}

bool ChatServer::listen(std::string& error)
{
    std::error_code fault;
    const asio::ip::address address = asio::ip::make_address(config_.listenAddress, fault);
    const asio::ip::tcp::endpoint endpoint(address, config_.port);
    if (!fault)
        acceptor_.open(endpoint.protocol(), fault);
    if (!fault)
        acceptor_.set_option(asio::socket_base::reuse_address(true), fault);
    if (!fault)
        acceptor_.bind(endpoint, fault);
    if (!fault)
        acceptor_.listen(kListenBacklog, fault);
    if (fault) {
        error = "cannot listen on " + config_.listenAddress + ":" + std::to_string(config_.port) + ": "
              + fault.message();
        std::error_code ignored;
        acceptor_.close(ignored);
        return false;
    }
    accept();
    return true;
}

std::uint16_t ChatServer::port() const
{
    std::error_code ignored;
    return acceptor_.local_endpoint(ignored).port();
}

void ChatServer::accept()
{
    acceptor_.async_accept([this, alive = std::weak_ptr(alive_)](const std::error_code& error,
                                                                 asio::ip::tcp::socket socket) {
        if (!alive.expired() && error != asio::error::operation_aborted)
            onAccepted(error, std::move(socket));
    });
}

void ChatServer::onAccepted(const std::error_code& error, asio::ip::tcp::socket socket)
{
    if (error) {
        // Out of descriptors: the connection waits in the kernel's queue until one is free.
        if (error.value() == EMFILE || error.value() == ENFILE) {
            log_("warning: cannot accept a connection: " + error.message());
            acceptPause_.expires_after(kAcceptPause);
            acceptPause_.async_wait([this, alive = std::weak_ptr(alive_)](const std::error_code& waitError) {
                if (!alive.expired() && !waitError)
                    accept();
            });
            return;
        }
        accept();
        return;
    }
    std::error_code peerError;
    const auto peer = socket.remote_endpoint(peerError);
    if (!peerError) {
        const std::string host = hostText(peer.address());
        if (makeRoom(host))
            adopt(std::move(socket), host);
        else
            socket.set_option(asio::socket_base::linger(true, 0), peerError);
    }
    accept();
}

bool ChatServer::makeRoom(const std::string& host)
{
    const auto decision = limits_.decide(host, [this](ConnectionId id) {
        const Connection* connection = find(id);
        return connection && !connection->waiting && !router_.hasLogin(id);
    });
    if (!decision.admit) {
        log_("refused connection from " + host + ": " + decision.why);
        return false;
    }
    if (decision.evict)
        endConnection(*decision.evict,
                      "closing " + connectionName(*decision.evict) + " from " + find(*decision.evict)->host + ": "
                          + decision.why);
    return true;
}

void ChatServer::adopt(asio::ip::tcp::socket socket, const std::string& host)
{
    // Keepalive lets the kernel find peers that vanished without a FIN;
    // otherwise they would hold a connection slot, and stay online, forever.
    std::error_code ignored;
    socket.set_option(asio::socket_base::keep_alive(true), ignored);
    socket.non_blocking(true, ignored);
    const ConnectionId id = nextId_++;
    connections_.emplace(id, std::make_unique<Connection>(std::move(socket), host));
    limits_.opened(id, host);
    log_(connectionName(id) + " from " + host);
    watchLogin(id);
    pump(id);
}

void ChatServer::waitForBytes(ConnectionId id, Connection& connection)
{
    if (connection.reading)
        return;
    connection.reading = true;
    connection.socket.async_wait(asio::ip::tcp::socket::wait_read,
                                 [this, id, alive = std::weak_ptr(alive_)](const std::error_code& error) {
                                     if (alive.expired() || error == asio::error::operation_aborted)
                                         return;
                                     if (Connection* readable = find(id)) {
                                         readable->reading = false;
                                         pump(id);
                                     }
                                 });
}

void ChatServer::pump(ConnectionId id)
{
    // One text at a time, and none while the one before waits: a client's requests are answered
    // in the order it sent them. One read per turn, so that a flooding client lets others in.
    bool hasRead = false;
    while (Connection* connection = find(id)) {
        if (connection->waiting)
            return;
        if (connection->texts.empty()) {
            if (connection->peerClosed) {
                forget(id);
                log_(connectionName(id) + " closed");
                return;
            }
            if (hasRead || readMore(id, *connection) == Read::WouldBlock) {
                waitForBytes(id, *connection);
                return;
            }
            hasRead = true;
            continue;
        }
        handleFront(id, *connection);
    }
}

ChatServer::Read ChatServer::readMore(ConnectionId id, Connection& connection)
{
    std::error_code error;
    const std::size_t size = connection.socket.read_some(asio::buffer(readBuffer_), error);
    if (error == asio::error::would_block || error == asio::error::try_again)
        return Read::WouldBlock;
    // Anything read before the close was sent before it and still counts (a final logout, say).
    if (error) {
        connection.peerClosed = true;
        return Read::Closed;
    }
    std::vector<std::string> texts;
    const std::size_t droppedBefore = connection.framer.droppedRuns();
    connection.framer.Feed({readBuffer_.data(), size}, texts);
    if (connection.framer.droppedRuns() != droppedBefore)
        log_("ignored: garbage without NUL on " + connectionName(id));
    for (std::string& text : texts)
        connection.texts.push_back(std::move(text));
    return Read::Data;
}

void ChatServer::handleFront(ConnectionId id, Connection& connection)
{
    RouteResult result = router_.handle(id, connection.host, connection.texts.front());
    // A text that waits for work is handled again once the work is done.
    if (result.work)
        connection.waiting = true;
    else
        connection.texts.pop_front();
    act(id, std::move(result));
}

void ChatServer::act(ConnectionId id, RouteResult result)
{
    if (result.work) {
        startWork(id, std::move(*result.work));
        return;
    }
    if (result.endConnection) {
        endConnection(id, result.log + "; " + connectionName(id) + " closed");
        return;
    }
    if (!result.log.empty())
        log_(result.log);
    for (Notification& notification : result.notifications)
        dispatcher_->send(std::move(notification));
}

void ChatServer::startWork(ConnectionId id, PasswordWork work)
{
    const auto shared = std::make_shared<const PasswordWork>(std::move(work));
    const auto outcome = std::make_shared<WorkOutcome>();
    const std::string host = find(id)->host;
    workers_->submit(
        host, shared->rank, [shared, outcome] { *outcome = perform(*shared); },
        [this, id, host, shared, outcome, alive = std::weak_ptr(alive_)](bool ran) {
            if (!alive.expired())
                onWorkDone(id, host, *shared, ran ? *outcome : WorkOutcome{});
        });
}

void ChatServer::onWorkDone(ConnectionId id, const std::string& host, const PasswordWork& work,
                            const WorkOutcome& outcome)
{
    const bool open = find(id) != nullptr;
    RouteResult result = router_.finish(open ? std::optional(id) : std::nullopt, host, work, outcome);
    // A new name is used only once it is on disk, so that no restart can give it to another password.
    if (result.registered) {
        journal_->appendAccount(work.name, router_.accounts().storedHash(work.name),
                                [this, alive = std::weak_ptr(alive_), name = work.name] {
                                    if (!alive.expired())
                                        accountSaved(name);
                                });
        return;
    }
    // The old hash holds the same password until the new one is on disk, so nobody waits for it.
    if (result.rehashed)
        journal_->appendAccount(work.name, router_.accounts().storedHash(work.name), {});
    if (!open) {
        if (!result.log.empty())
            log_(result.log);
        return;
    }
    if (!result.endConnection)
        find(id)->waiting = false;
    act(id, std::move(result));
    pump(id);
}

void ChatServer::accountSaved(const std::string& name)
{
    const auto id = router_.accountSaved(name);
    if (Connection* connection = id ? find(*id) : nullptr) {
        connection->waiting = false;
        pump(*id);
    }
}

void ChatServer::watchLogin(ConnectionId id)
{
    loginDeadlines_.emplace_back(std::chrono::steady_clock::now() + std::chrono::milliseconds(config_.loginTimeoutMs), id);
    armSweep();
}

void ChatServer::armSweep()
{
    if (sweepArmed_ || loginDeadlines_.empty())
        return;
    sweepArmed_ = true;
    sweepTimer_.expires_at(std::max(loginDeadlines_.front().first, std::chrono::steady_clock::now() + kSweepGranularity));
    sweepTimer_.async_wait([this, alive = std::weak_ptr(alive_)](const std::error_code& error) {
        if (alive.expired() || error)
            return;
        sweepArmed_ = false;
        sweepLogins();
        armSweep();
    });
}

void ChatServer::sweepLogins()
{
    // Every deadline is the same time after its start, so they fall in the order they were set.
    // A connection that logged in is looked at again a period later, so that one that logs out
    // and idles goes the same way.
    const TimePoint now = std::chrono::steady_clock::now();
    std::vector<ConnectionId> again;
    while (!loginDeadlines_.empty() && loginDeadlines_.front().first <= now) {
        const ConnectionId id = loginDeadlines_.front().second;
        loginDeadlines_.pop_front();
        const Connection* connection = find(id);
        if (!connection)
            continue;
        if (connection->waiting || router_.hasLogin(id)) {
            again.push_back(id);
            continue;
        }
        endConnection(id, "closing " + connectionName(id) + " from " + connection->host + ": no login within "
                              + std::to_string(config_.loginTimeoutMs / 1000) + " s");
    }
    for (const ConnectionId id : again)
        loginDeadlines_.emplace_back(now + std::chrono::milliseconds(config_.loginTimeoutMs), id);
}

void ChatServer::expireHeldSoon()
{
    heldTimer_.expires_after(kHeldExpiryPeriod);
    heldTimer_.async_wait([this, alive = std::weak_ptr(alive_)](const std::error_code& error) {
        if (alive.expired() || error)
            return;
        logAll(router_.expireHeld());
        expireHeldSoon();
    });
}

void ChatServer::endConnection(ConnectionId id, const std::string& line)
{
    log_(line);
    forget(id);
}

void ChatServer::forget(ConnectionId id)
{
    const auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    // A reset, as a refused client must learn at once that it is not logged in.
    std::error_code ignored;
    found->second->socket.set_option(asio::socket_base::linger(true, 0), ignored);
    limits_.closed(id);
    connections_.erase(found);
    logAll(router_.connectionClosed(id));
}

void ChatServer::logAll(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        log_(line);
}

ChatServer::Connection* ChatServer::find(ConnectionId id)
{
    const auto found = connections_.find(id);
    return found == connections_.end() ? nullptr : found->second.get();
}

} // namespace qornc::server
