#include "platform/core/ExtMath.h"

#include "platform/core/Exceptions.h"

#include <cmath>

namespace {

// Classifies the result of an operation on finite operands.
long double checked(long double result)
{
    if (std::isnan(result))
        throw EInvalidOp();
    if (std::isinf(result))
        throw EOverflow();
    return result;
}

void requireOperand(long double x)
{
    if (std::isnan(x))
        throw EInvalidOp();
}

} // namespace

namespace ExtMath {

long double Add(long double a, long double b)
{
    requireOperand(a);
    requireOperand(b);
    return checked(a + b);
}

long double Mul(long double a, long double b)
{
    requireOperand(a);
    requireOperand(b);
    return checked(a * b);
}

long double Div(long double a, long double b)
{
    requireOperand(a);
    requireOperand(b);
    if (b == 0.0L) {
        if (a == 0.0L)
            throw EInvalidOp();
        throw EZeroDivide();
    }
    return checked(a / b);
}

long double Ln(long double x)
{
    requireOperand(x);
    if (x == 0.0L)
        throw EZeroDivide();
    if (x < 0.0L)
        throw EInvalidOp();
    return checked(std::log(x));
}

long double Exp(long double x)
{
    requireOperand(x);
    return checked(std::exp(x));
}

} // namespace ExtMath
