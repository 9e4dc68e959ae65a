// One notification on one connection of its own: connect, write the text and its NUL, close the
// sending side, and wait until the recipient's host has acknowledged all of it (the socket's send
// queue is empty), so that a text counts as delivered only once it is there and the next one
// cannot overtake it. The connection may open before its text is known, so that the next text
// waits for the last one's acknowledgement alone and not for a handshake too. Whatever happens,
// `finished` runs exactly once, never inside start(): at the latest when the connect timeout runs
// out without a connection, or the whole timeout after the text was given.
#pragma once

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qornc::server {

class NotifyDelivery : public std::enable_shared_from_this<NotifyDelivery> {
public:
    using Finished = std::function<void(bool delivered, const std::string& failure)>;
    struct Times {
        std::chrono::milliseconds connect;
        std::chrono::milliseconds whole;
    };

    // `from`, when set, is the local address to leave from. An empty `payload` waits for send().
    NotifyDelivery(asio::io_context& io, asio::ip::tcp::endpoint to, std::string payload, Times times,
                   Finished finished, std::optional<asio::ip::address> from = std::nullopt);

    void start();
    // The text for a connection opened without one.
    void send(std::string payload);
    // Runs once the text is written and only its acknowledgement is awaited.
    void whenWritten(std::function<void()> written) { written_ = std::move(written); }
    // Ends it without a word: `finished` never runs.
    void cancel();

private:
    enum class Phase { Connecting, Ready, Writing, Acknowledging };

    std::error_code bindSource();
    void onConnected(const std::error_code& error);
    void write();
    void onWritten(const std::error_code& error);
    void checkAcknowledged();
    void onTimer(const std::error_code& error);
    void armTimer(std::chrono::steady_clock::time_point at);
    void fail(const std::string& failure);
    void finish(bool delivered, const std::string& failure);

    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    asio::ip::tcp::endpoint to_;
    std::optional<asio::ip::address> from_;
    std::string payload_;
    Times times_;
    Finished finished_;
    std::function<void()> written_;
    Phase phase_ = Phase::Connecting;
    std::chrono::steady_clock::time_point deadline_{};
    std::chrono::milliseconds poll_{1};
    bool finQueued_ = false;
    bool done_ = false;
};

} // namespace qornc::server
