// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The logarithms and arctangents of the vectorised assembly, written for any vector of doubles so
// that each instruction set's kernel inlines its own copy, without calls and the spills around
// them. Each takes a quotient as its numerator and denominator, with one division. Included only
// by the files that compile the kernel for one instruction set (see AssemblyKernel.h); everything
// here has internal linkage, so no copy built with one set's flags can stand in for another's.
//
// Accuracy over the whole double range (subnormal, huge, zero of either sign, infinite, NaN), as
// checked against std::log and std::atan of the rounded quotients by the tests: within 2.5 ulps
// (2 seen), with the special values, signs and zeros of the C library's functions of the rounded
// quotient. The side logarithm is within 2.5 ulps of 2 atanh(d / S); in a vector that holds a
// near side, where it is the logarithm of the quotient of the rounded S + d and the given S - d,
// also what their rounding moves it by (at most 2^-52).
//
// `Isa` provides the vector type V (a GCC vector of W doubles), Fma(a, b, c) = a * b + c, fused
// where the instruction set has it, and Any(mask), true when a lane of the mask is set.

#include <cmath>
#include <cstdint>

namespace panelflow::assembly {
namespace {

template <class Isa>
struct VectorMath {
    using V = typename Isa::V;
    static constexpr int W = sizeof(V) / sizeof(double);
    typedef std::uint64_t Bits __attribute__((vector_size(sizeof(V))));
    using Mask = decltype(V{} < V{});  // lanes of all ones or all zeros

    static V Splat(double x) {
        V v;
        for (int lane = 0; lane < W; ++lane) v[lane] = x;
        return v;
    }
    static Bits BitsOf(V x) { return (Bits)x; }  // the same bits, seen as integers
    static V FromBits(Bits b) { return (V)b; }
    static V Abs(V x) { return FromBits(BitsOf(x) & ~BitsOf(Splat(-0.0))); }
    static V Min(V x, V y) { return x < y ? x : y; }

    template <int n>
    static V Power(V x) {  // x^n for n a power of two
        if constexpr (n == 1) return x;
        else return Power<n / 2>(x) * Power<n / 2>(x);
    }

    // c[0] + c[1] x + ... + c[n-1] x^(n-1) by Estrin's scheme: independent fused steps on pairs of
    // terms, then on pairs of those with x^2, x^4, ..., so that the chain of dependent steps is
    // short.
    template <int n>
    static V Polynomial(V x, const double* c) {
        if constexpr (n == 1) {
            return Splat(c[0]);
        } else {
            constexpr int low = n > 2 ? 1 << (31 - __builtin_clz(n - 1)) : 1;  // largest power of two below n
            return Isa::Fma(Polynomial<n - low>(x, c + low), Power<low>(x), Polynomial<low>(x, c));
        }
    }
    template <int n>
    static V Polynomial(V x, const double (&c)[n]) {
        return Polynomial<n>(x, &c[0]);
    }

    // 2 atanh(s) = 2 s + s^3 R(s^2) for |s| <= (sqrt(2) - 1) / (sqrt(2) + 1), the reduced range of
    // the logarithms below.
    static constexpr double kR[] = {0.666666666666667,   0.39999999999899505, 0.28571428625975487,
                                    0.2222221113479508,  0.18182889125261723, 0.15331721600556042,
                                    0.14616449685043406};
    static constexpr double kLargestAtanhArgument = 0.17157287525380990;  // (sqrt(2) - 1) / (sqrt(2) + 1)

    // x = 2^e m with m in [sqrt(1/2), sqrt(2)), for x positive, normal and finite. Moving
    // sqrt(1/2) to the bottom of the exponent's range makes the exponent field e + 1023 and the
    // significand field that of m taken from sqrt(1/2)'s.
    static void Split(V x, V& m, V& e) {
        constexpr std::uint64_t kSqrtHalf = 0x3fe6a09e667f3bcd, kOne = 0x3ff0000000000000;
        const Bits u = BitsOf(x) + (kOne - kSqrtHalf);
        m = FromBits((u & 0x000fffffffffffff) + kSqrtHalf);
        // The exponent field becomes a double exactly: 2^52 + field, less 2^52 + 1023.
        e = FromBits((u >> 52) | 0x4330000000000000) - Splat(0x1p52 + 1023.0);
    }

    // log(p / q) without forming the quotient: e log(2) + log(m) with m = mp / mq in
    // [sqrt(1/2), sqrt(2)], and log(m) = 2 atanh(s) with s = (mp - mq) / (mp + mq), the difference
    // exact. Lanes where p or q is not positive, normal and finite, or the quotient is near
    // overflow or underflow, take the library's logarithm of the rounded quotient instead.
    static V LogOfQuotient(V p, V q) {
        constexpr double kLn2High = 0.6931471803691238;  // 32 bits: e * kLn2High is exact
        constexpr double kLn2Low = 1.9082149292705877e-10;
        const V smallest = Splat(0x1p-1022), largest = Splat(__DBL_MAX__);
        V mp, mq, ep, eq;
        Split(p, mp, ep);
        Split(q, mq, eq);
        V e = ep - eq;
        const V sqrtTwo = Splat(0x1.6a09e667f3bcdp0);
        const Mask above = mp > sqrtTwo * mq, below = mq > sqrtTwo * mp;
        mq = above ? mq + mq : mq;
        mp = below ? mp + mp : mp;
        e = above ? e + Splat(1.0) : below ? e - Splat(1.0) : e;
        const V s = (mp - mq) / (mp + mq);
        const V w = s * s;
        const V tail = Isa::Fma(s * w, Polynomial(w, kR), e * Splat(kLn2Low));
        V result = Isa::Fma(e, Splat(kLn2High), (s + s) + tail);

        const Mask ordinary = (p >= smallest) & (p <= largest) & (q >= smallest) & (q <= largest) &
                              (Abs(ep - eq) <= Splat(1000.0));
        if (Isa::Any(~ordinary)) {
            for (int lane = 0; lane < W; ++lane)
                if (ordinary[lane] == 0) result[lane] = std::log(p[lane] / q[lane]);
        }
        return result;
    }

    // log((S + d) / (S - d)) for S >= d >= 0, the logarithm of a panel side seen from a point at
    // distances r and r' from its ends (S = r + r'): as 2 atanh(d / S), with one division and none
    // of LogOfQuotient's reduction, where d / S lies in the polynomial's range in every lane, as it
    // does for all but the nearest sides; else as LogOfQuotient of the rounded S + d and of
    // SMinusD(), which gives S - d (near the side, without its cancellation).
    // Where S + d overflows, so that the logarithm of the quotient is infinite, it is taken so too.
    template <class Difference>
    static V SideLogarithm(V S, V d, Difference SMinusD) {
        const V t = d / S;
        const Mask direct = (t <= Splat(kLargestAtanhArgument)) & (S <= Splat(0x1p1000));
        if (Isa::Any(~direct)) return LogOfQuotient(S + d, SMinusD());
        const V w = t * t;
        return Isa::Fma(t * w, Polynomial(w, kR), t + t);
    }

    // atan(y / x) without forming the quotient, for any y and x: the value of the arctangent of
    // the rounded quotient, with its sign and zeros (atan(0 / -1) = -0, a quotient that rounds to
    // zero gives zero) and +-Pi/2 where the quotient overflows. From A / B in [0, 1], A and B the
    // smaller and the larger of |y| and |x|; above tan(Pi/8), atan(A / B) = Pi/4 +
    // atan((A - B) / (A + B)).
    static V AtanOfQuotient(V y, V x) {
        static constexpr double kP[] = {-0.3333333333333333,  0.1999999999999552,   -0.14285714284666542,
                                        0.11111111015256361,  -0.09090904578123903, 0.07692183190826087,
                                        -0.06664511447381948, 0.0585814891280221,   -0.0508544973794026,
                                        0.03923165829558719,  -0.01917688711906226};
        constexpr double kQuarterPiHigh = 0.7853981633974483, kQuarterPiLow = 3.061616997868383e-17;
        constexpr double kHalfPiHigh = 1.5707963267948966, kHalfPiLow = 6.123233995736766e-17;
        const V absY = Abs(y), absX = Abs(x);
        const Mask swap = absY > absX;
        V A = swap ? absX : absY, B = swap ? absY : absX;  // a NaN stays in A or B
        // The sum below must not overflow.
        const Mask huge = B > Splat(0x1p1000);
        if (Isa::Any(huge)) {
            A = huge ? A * Splat(0x1p-64) : A;
            B = huge ? B * Splat(0x1p-64) : B;
        }
        const Mask reduce = A > Splat(0.41421356237309503) * B;
        // Without reduction t = A / B rounds as the quotient does: zero exactly where it does.
        const V t = (reduce ? A - B : A) / (reduce ? A + B : B);
        const V w = t * t;
        V angle = Isa::Fma(t * w, Polynomial(w, kP), reduce ? Splat(kQuarterPiLow) : Splat(0.0));
        angle = (reduce ? Splat(kQuarterPiHigh) : Splat(0.0)) + (t + angle);
        angle = swap ? Splat(kHalfPiHigh) - (angle - Splat(kHalfPiLow)) : angle;
        return FromBits(BitsOf(angle) | ((BitsOf(y) ^ BitsOf(x)) & BitsOf(Splat(-0.0))));  // the quotient's sign
    }
};

}  // namespace
}  // namespace panelflow::assembly
