#include "LoopbackHarness.h"
#include "NotifyDelivery.h"

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

// A notification port whose connections are taken in but not read until the test says so; a
// small receive buffer keeps most of a large text in the sender's queue meanwhile.
class SlowReader {
public:
    explicit SlowReader(asio::io_context& io)
        : acceptor_(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0))
    {
        acceptor_.set_option(asio::socket_base::receive_buffer_size(2048));
        acceptor_.async_accept([this](const std::error_code& error, tcp::socket socket) {
            if (!error)
                accepted_.emplace(std::move(socket));
        });
    }
    tcp::endpoint endpoint() const { return acceptor_.local_endpoint(); }
    std::size_t readAll(std::size_t size)
    {
        std::vector<char> bytes(size);
        return accepted_ ? asio::read(*accepted_, asio::buffer(bytes)) : 0;
    }

private:
    tcp::acceptor acceptor_;
    std::optional<tcp::socket> accepted_;
};

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
    SlowReader reader(io);
    Outcome outcome;
    const auto delivery = deliver(io, reader.endpoint(), kSize, std::chrono::seconds(10), outcome);
    runFor(io, std::chrono::milliseconds(300));
    EXPECT_FALSE(outcome.done) << "counted as delivered before the peer read it: " << outcome.failure;
    EXPECT_EQ(reader.readAll(kSize), kSize);
    runFor(io, std::chrono::milliseconds(300));
    EXPECT_TRUE(outcome.done && outcome.delivered) << outcome.failure;

    SlowReader never(io);
    Outcome late;
    const auto lost = deliver(io, never.endpoint(), kSize, std::chrono::milliseconds(300), late);
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
    // Outside the range, which its two ports leave for the two connections below.
    tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 22002));
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
