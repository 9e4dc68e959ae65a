// Whether the request link ended as a refused login ends: a server that refuses a name or a
// password closes the link without a word, while one that took the login answers the presence
// refresh that follows it at once. Only an end soon after the login counts: a link lost much
// later, to a server that never had a reason to speak (an empty contact list), is just lost.
#pragma once

#include <chrono>
#include <optional>

class LoginWatch {
public:
    using Clock = std::chrono::steady_clock;
    // Ample for a server's refusal to arrive over a slow link; short enough that an end within
    // it still reads as "right after the login".
    static constexpr std::chrono::milliseconds kWindow{10000};

    void LoggedIn(Clock::time_point at);
    // The server said something since the login: on the request link or as a delivery.
    void Answered() { m_answered = true; }
    // The link ended at endedAt: true when that was within kWindow of the login and the server
    // had not answered anything.
    [[nodiscard]] bool EndedUnanswered(Clock::time_point endedAt) const;

private:
    std::optional<Clock::time_point> m_loggedIn;
    bool m_answered = false;
};
