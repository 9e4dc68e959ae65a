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
};

using Figures = std::vector<std::pair<std::string, double>>;

class ScaleScenarios {
public:
    ScaleScenarios(EventLoop& loop, UserFleet& fleet, const TargetProcess& target, ScenarioOptions options);

    void Login();
    void Idle();
    void MessagesToManyHosts();
    void MessagesToOneHost();
    void Refresh();
    void LatencyAtFixedRate();
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
