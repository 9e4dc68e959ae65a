#include "LoopbackHarness.h"
#include "NotifyDelivery.h"
#include "common/Protocol.h"

#include <gtest/gtest.h>

#include <asio/read.hpp>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace qornc::server;
using asio::ip::tcp;

namespace {

struct Outcome {
    bool done = false;
    bool delivered = false;
    std::string failure;
};

// A notification port that takes connections in but reads nothing until the test does; a small
// receive buffer keeps most of a large text in the sender's queue meanwhile.
tcp::acceptor slowPort(asio::io_context& io)
{
    tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    acceptor.set_option(asio::socket_base::receive_buffer_size(2048));
    return acceptor;
}

std::shared_ptr<NotifyDelivery> deliver(asio::io_context& io, const tcp::endpoint& to, std::size_t size,
                                        std::chrono::milliseconds whole, Outcome& outcome,
                                        std::optional<asio::ip::address> from = std::nullopt)
{
    auto delivery = std::make_shared<NotifyDelivery>(
        io, to, std::string(size, 'x'), NotifyDelivery::Times{std::chrono::milliseconds(500), whole},
        [&outcome](bool delivered, const std::string& failure) { outcome = {true, delivered, failure}; }, from);
    delivery->start();
    return delivery;
}

void runFor(asio::io_context& io, std::chrono::milliseconds time)
{
    io.restart();
    io.run_for(time);
}

} // namespace

// A text counts as delivered only once the peer has all of it, not once it is written to the
// kernel; one that never gets there fails at the timeout.
TEST(NotifyDelivery, DeliveredOnlyOnceThePeerHasAcknowledgedTheWholeText)
{
    constexpr std::size_t kSize = 12'000;
    asio::io_context io;
    tcp::acceptor reader = slowPort(io);
    Outcome outcome;
    const auto delivery = deliver(io, reader.local_endpoint(), kSize, std::chrono::seconds(10), outcome);
    runFor(io, std::chrono::milliseconds(300));
    EXPECT_FALSE(outcome.done) << "counted as delivered before the peer read it: " << outcome.failure;
    tcp::socket peer = reader.accept();
    std::vector<char> bytes(kSize);
    EXPECT_EQ(asio::read(peer, asio::buffer(bytes)), kSize);
    runFor(io, std::chrono::milliseconds(300));
    EXPECT_TRUE(outcome.done && outcome.delivered) << outcome.failure;

    tcp::acceptor never = slowPort(io);
    Outcome late;
    const auto lost = deliver(io, never.local_endpoint(), kSize, std::chrono::milliseconds(300), late);
    runFor(io, std::chrono::milliseconds(600));
    EXPECT_TRUE(late.done && !late.delivered);
    EXPECT_EQ(late.failure, "text not acknowledged in time");
}

// With every local port towards a host taken, the log names that cause instead of a bare errno,
// and another local address to leave from gets through.
TEST(NotifyDelivery, SaysWhenNoLocalPortIsFreeAndAnotherSourceAddressGetsThrough)
{
    QORNC_IN_OWN_NAMESPACE();
    ASSERT_EQ(std::system("sysctl -q -w net.ipv4.ip_local_port_range='40000 40001'"), 0);
    asio::io_context io;
    // The clients' port, outside the range, which its two ports leave for the two connections below.
    tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), kNotifyPort));
    tcp::socket first(io), second(io);
    first.connect(acceptor.local_endpoint());
    second.connect(acceptor.local_endpoint());
    Outcome outcome;
    const auto delivery = deliver(io, acceptor.local_endpoint(), 10, std::chrono::seconds(1), outcome);
    runFor(io, std::chrono::milliseconds(300));
    EXPECT_TRUE(outcome.done && !outcome.delivered);
    EXPECT_EQ(outcome.failure, "no free local port towards 127.0.0.1");

    Outcome other;
    const auto through = deliver(io, acceptor.local_endpoint(), 10, std::chrono::seconds(1), other,
                                 asio::ip::make_address("127.0.0.2"));
    std::thread recipient([&acceptor] {
        std::vector<tcp::socket> others;
        for (int i = 0; i < 3; ++i) {
            tcp::socket peer = acceptor.accept();
            if (peer.remote_endpoint().address() != asio::ip::make_address("127.0.0.2")) {
                others.push_back(std::move(peer));
                continue;
            }
            std::error_code end;
            std::array<char, 16> bytes{};
            while (!end)
                peer.read_some(asio::buffer(bytes), end); // to the end, then it closes
            return;
        }
    });
    runFor(io, std::chrono::milliseconds(300));
    if (!other.done) { // the recipient still waits for it: end its wait
        tcp::socket stand(io, tcp::endpoint(asio::ip::make_address("127.0.0.2"), 0));
        stand.connect(acceptor.local_endpoint());
    }
    recipient.join();
    EXPECT_TRUE(other.done && other.delivered) << other.failure;
}
