#pragma once

// Extended-precision arithmetic that raises the math errors of the EMathError family
// instead of producing infinities and NaNs: invalid operation, division by zero and
// overflow are errors; underflow and inexact results are not.
namespace ExtMath {

long double Add(long double a, long double b);
long double Mul(long double a, long double b);
long double Div(long double a, long double b);

// Natural logarithm: 0 raises EZeroDivide, a negative or NaN operand EInvalidOp.
long double Ln(long double x);

// e^x: a result beyond the extended range raises EOverflow.
long double Exp(long double x);

} // namespace ExtMath
