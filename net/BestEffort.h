#pragma once

// Runs a step whose failure has nowhere to go: closing or cancelling while a socket is torn
// down or a request is given up, resetting a socket's settings after its close was told, a
// handler called while an error is already being handled, a request to a SOCKS proxy (a
// send that fails meets the negotiation again as a close or its timeout). Thrown out of a
// destructor the exception would end the program, out of an event it would reach the
// message loop in place of the failure being reported; so it is dropped, and the step
// counts as done as far as it got.
template <typename Step>
void BestEffort(Step &&step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}
