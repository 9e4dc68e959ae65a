// The scale scenarios, run in turn against one target with every user logged in: each leaves
// its figures as "name value" pairs, and waits for the target's traffic to calm before the next.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "EventLoop.h"
#include "OrderCheck.h"
#include "Percentiles.h"
#include "TargetProcess.h"
#include "UserFleet.h"

struct ScenarioOptions {
    int manyHostMessages = 10000;
    int oneHostMessages = 5000;
    int refreshContacts = 2000;
    int latencyUsers = 1000;
    int latencyRate = 2000;  // messages per second
    double latencySeconds = 5;
    double idleSeconds = 10;
    double boundSeconds = 60;  // no scenario waits longer for its traffic
    int registrationRate = 500;  // messages per second while new names register
    double registrationSeconds = 10;
    double registerAfterSeconds = 1;  // into that window, so that latency before them shows too
};

using Figures = std::vector<std::pair<std::string, double>>;

class ScaleScenarios {
public:
    ScaleScenarios(EventLoop& loop, UserFleet& fleet, const TargetProcess& target, ScenarioOptions options);

    // Logs in the fleet's users up to `upTo`, all by default.
    void Login(int upTo = -1);
    void Idle();
    void MessagesToManyHosts();
    void MessagesToOneHost();
    void Refresh();
    void LatencyAtFixedRate();
    // Open-loop messages among the users logged in while the fleet's last `newNames` users log in
    // for the first time, which registers them.
    void LatencyWhileRegistering(int newNames);
    [[nodiscard]] const Figures& figures() const { return m_figures; }

private:
    // What arrived of the current run's messages and answers.
    struct Tally {
        std::uint32_t run = 0;
        std::vector<BenchClock::time_point> sentAt;
        std::vector<char> seen;
        long delivered = 0;
        long duplicates = 0;
        long answers = 0;
        int answersFor = -1;
        std::vector<double> latencyMs;
        std::vector<double> latencyOf;  // by sequence, negative until delivered
        OrderCheck order;
        BenchClock::time_point last;
    };

    void Take(int user, const Delivery& delivery, BenchClock::time_point at);
    void BeginRun(std::size_t messages, int answersFor = -1);
    void SendMessage(int sender, int recipient, std::uint32_t sequence);
    // Delivered messages per second from the start of the run to the last delivery.
    void AddThroughput(const std::string& name, BenchClock::time_point start, long sent);
    void AddGeneratorLoad(const std::string& name, BenchClock::time_point start);
    void Settle();
    // Sends message `sequence` among the first `users` at its due time; true while some are due.
    void SendDueAtRate(int users, int rate, BenchClock::time_point start, std::size_t count, std::size_t& sent);
    void AddLatency(const std::string& prefix, const std::vector<double>& samples);
    void Add(const std::string& name, double value) { m_figures.emplace_back(name, value); }
    [[nodiscard]] BenchClock::time_point Bound() const;

    EventLoop& m_loop;
    UserFleet& m_fleet;
    const TargetProcess& m_target;
    ScenarioOptions m_options;
    Tally m_tally;
    Figures m_figures;
    long m_deliveriesSeen = 0;
    double m_runCpuSeconds = 0;
};
