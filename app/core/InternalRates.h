#pragma once

#include "app/core/Npv.h"

#include <vector>

// Every internal rate of return of the ten yearly cash flows: each rate above −100 % at
// which their net present value is zero, year 1 discounted once as the calculator
// does (there is no year-0 flow).
struct InternalRates {
    enum Kind {
        irNoRate,    // no rate gives zero, for instance when all flows have one sign
        irEveryRate, // all flows are zero: every rate gives zero and none is defined
        irOneRate,
        irSeveralRates
    };

    Kind Outcome = irNoRate;
    // In percent, ascending. A rate at which the value touches zero without changing
    // sign is listed once.
    std::vector<long double> Percents;
    // Sign changes of the flows in year order, zero flows skipped: there are at most
    // this many rates, counted with multiplicity, and an odd count means at least one.
    int SignChanges = 0;

    // Each rate to well under 0.001 % (about 18 significant digits where the flows
    // pin it down); flows within the Real48 range give finite rates. Never raises for
    // finite flows; a NaN or infinite flow raises EInvalidOp.
    static InternalRates Of(const Npv::CashFlows &flows);
};
