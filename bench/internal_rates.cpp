// Prints microseconds per flow set for finding every internal rate of return of
// 100,000 random sets of ten yearly cash flows, for flows of everyday size and for
// flows of random sign spread from 0.01 to 1e12.
#include "app/core/InternalRates.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int Sets = 100000;
constexpr int Rounds = 5;

std::vector<Npv::CashFlows> everydayFlows(std::mt19937_64 &random)
{
    // Whole cents between -10,000 and 10,000, the first year an outlay.
    std::uniform_int_distribution<long> cents(-1000000, 1000000);
    std::vector<Npv::CashFlows> sets(Sets);
    for (auto &flows : sets) {
        for (auto &flow : flows)
            flow = cents(random) / 100.0L;
        flows[0] = -std::fabs(flows[0]);
    }
    return sets;
}

std::vector<Npv::CashFlows> widespreadFlows(std::mt19937_64 &random)
{
    std::uniform_real_distribution<double> decades(-2, 12);
    std::bernoulli_distribution negative(0.5);
    std::vector<Npv::CashFlows> sets(Sets);
    for (auto &flows : sets)
        for (auto &flow : flows)
            flow = (negative(random) ? -1.0L : 1.0L) * std::pow(10.0L, static_cast<long double>(decades(random)));
    return sets;
}

void measure(const char *title, const std::vector<Npv::CashFlows> &sets)
{
    using Clock = std::chrono::steady_clock;
    using Micro = std::chrono::duration<double, std::micro>;
    std::vector<double> perSet;
    std::size_t rates = 0;
    for (int round = 0; round < Rounds; ++round) {
        rates = 0;
        const auto start = Clock::now();
        for (const auto &flows : sets)
            rates += InternalRates::Of(flows).Percents.size();
        perSet.push_back(Micro(Clock::now() - start).count() / Sets);
    }
    std::sort(perSet.begin(), perSet.end());
    std::printf("%s: median %.2f us per set (best %.2f, worst %.2f); %.3f rates per set\n", title, perSet[Rounds / 2],
                perSet.front(), perSet.back(), static_cast<double>(rates) / Sets);
}

} // namespace

int main()
{
    std::mt19937_64 random(20261209);
    measure("Every internal rate, everyday flows        ", everydayFlows(random));
    measure("Every internal rate, flows 0.01 to 1e12    ", widespreadFlows(random));
    std::printf("(%d rounds of %d random flow sets)\n", Rounds, Sets);
    return 0;
}
