#include "NotifyDelivery.h"

#include "SendQueue.h"

#include <asio/connect.hpp>
#include <asio/post.hpp>
#include <asio/write.hpp>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <netinet/in.h>

namespace qornc::server {

namespace {

// How often a text not yet acknowledged is looked at again, at most: well under a retransmission.
constexpr std::chrono::milliseconds kLongestPoll{40};

std::string failureText(const std::error_code& error, const asio::ip::tcp::endpoint& to)
{
    // Every delivery is a connection that this side closes first; its local ports run out while
    // they wait in TIME_WAIT, and the bare error text would name no cause.
    if (error.value() == EADDRNOTAVAIL && error.category() == asio::system_category())
        return "no free local port towards " + to.address().to_string();
    return error.message();
}

} // namespace

NotifyDelivery::NotifyDelivery(asio::io_context& io, asio::ip::tcp::endpoint to, std::string payload, Times times,
                               Finished finished, std::optional<asio::ip::address> from)
    : socket_(io)
    , timer_(io)
    , to_(std::move(to))
    , from_(std::move(from))
    , payload_(std::move(payload))
    , times_(times)
    , finished_(std::move(finished))
{
}

void NotifyDelivery::start()
{
    const auto now = std::chrono::steady_clock::now();
    deadline_ = now + times_.whole;
    // A host that does not even answer the handshake gets the short limit.
    armTimer(now + std::min(times_.connect, times_.whole));
    if (const std::error_code error = bindSource()) {
        asio::post(socket_.get_executor(), [self = shared_from_this(), error] { self->onConnected(error); });
        return;
    }
    socket_.async_connect(to_, [self = shared_from_this()](const std::error_code& error) { self->onConnected(error); });
}

std::error_code NotifyDelivery::bindSource()
{
    std::error_code error;
    if (!from_)
        return error;
    socket_.open(to_.protocol(), error);
    // The port is picked at the connect, for this address and the recipient's together, rather
    // than at the bind, for the address alone.
    if (!error)
        socket_.set_option(asio::detail::socket_option::boolean<IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT>(true), error);
    if (!error)
        socket_.bind(asio::ip::tcp::endpoint(*from_, 0), error);
    return error;
}

void NotifyDelivery::cancel()
{
    done_ = true;
    finished_ = nullptr;
    std::error_code ignored;
    timer_.cancel();
    socket_.close(ignored);
}

void NotifyDelivery::onConnected(const std::error_code& error)
{
    if (done_)
        return;
    if (error) {
        fail(failureText(error, to_));
        return;
    }
    phase_ = Phase::Ready;
    if (payload_.empty()) {
        // Nothing to time until the text comes; a peer that closes meanwhile fails its write.
        timer_.cancel();
        return;
    }
    write();
}

void NotifyDelivery::send(std::string payload)
{
    if (done_)
        return;
    payload_ = std::move(payload);
    deadline_ = std::chrono::steady_clock::now() + times_.whole;
    if (phase_ == Phase::Ready)
        write();
}

void NotifyDelivery::write()
{
    phase_ = Phase::Writing;
    armTimer(deadline_);
    asio::async_write(socket_, asio::buffer(payload_),
                      [self = shared_from_this()](const std::error_code& writeError, std::size_t) {
                          self->onWritten(writeError);
                      });
}

void NotifyDelivery::onWritten(const std::error_code& error)
{
    if (done_)
        return;
    if (error) {
        fail("closed by peer before the text was written (" + error.message() + ")");
        return;
    }
    phase_ = Phase::Acknowledging;
    if (const auto written = std::exchange(written_, nullptr))
        written();
    if (done_)
        return;
    // The FIN right behind the text, as the client reads to the end: its close answers at once,
    // where the text alone would wait for a delayed acknowledgement.
    std::error_code shutdownError;
    socket_.shutdown(asio::socket_base::shutdown_send, shutdownError);
    finQueued_ = !shutdownError;
    socket_.async_wait(asio::socket_base::wait_read, [self = shared_from_this()](const std::error_code& waitError) {
        if (!self->done_ && !waitError)
            self->checkAcknowledged();
    });
    checkAcknowledged();
}

void NotifyDelivery::checkAcknowledged()
{
    switch (sendQueueState(socket_.native_handle(), finQueued_)) {
    case SendQueue::Empty:
        finish(true, {});
        return;
    case SendQueue::Lost:
        fail("connection lost before the text was acknowledged");
        return;
    case SendQueue::Waiting:
        break;
    }
    const auto now = std::chrono::steady_clock::now();
    armTimer(std::min(now + poll_, deadline_));
    poll_ = std::min(poll_ * 2, kLongestPoll);
}

void NotifyDelivery::onTimer(const std::error_code& error)
{
    // A wait replaced by a later one may still report in; only the latest counts.
    if (done_ || error || std::chrono::steady_clock::now() < timer_.expiry())
        return;
    if (phase_ == Phase::Acknowledging && std::chrono::steady_clock::now() < deadline_) {
        checkAcknowledged();
        return;
    }
    switch (phase_) {
    case Phase::Connecting:
        fail("connect timed out");
        return;
    case Phase::Ready:
        return;
    case Phase::Writing:
        fail("timed out");
        return;
    case Phase::Acknowledging:
        fail("text not acknowledged in time");
        return;
    }
}

void NotifyDelivery::armTimer(std::chrono::steady_clock::time_point at)
{
    timer_.expires_at(at);
    timer_.async_wait([self = shared_from_this()](const std::error_code& error) { self->onTimer(error); });
}

void NotifyDelivery::fail(const std::string& failure)
{
    // Reset rather than close: nothing of a failed try should reach the peer late.
    std::error_code ignored;
    if (socket_.is_open())
        socket_.set_option(asio::socket_base::linger(true, 0), ignored);
    finish(false, failure);
}

void NotifyDelivery::finish(bool delivered, const std::string& failure)
{
    if (done_)
        return;
    done_ = true;
    timer_.cancel();
    std::error_code ignored;
    socket_.close(ignored);
    if (Finished finished = std::move(finished_))
        finished(delivered, failure);
}

} // namespace qornc::server
