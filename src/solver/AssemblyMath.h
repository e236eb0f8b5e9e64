#pragma once
// The logarithms and arctangents of the vectorised assembly, written for any vector of doubles so
// that each instruction set's kernel inlines its own copy: no calls, no spills around them, and
// one division for the four logarithms and four arctangents of a panel's sides. Included only by the
// files that compile the kernel for one instruction set (see AssemblyKernel.h); everything here
// has internal linkage, so no copy built with one set's flags can stand in for another's.
//
// Accuracy over the whole double range (subnormal, huge, zero of either sign, infinite, NaN), as
// checked against std::log and std::atan of the rounded quotients by the tests: within 4 ulps
// (the shared reciprocal and the polynomials), with the special values, signs and zeros of the C
// library's functions of the rounded quotient.
//
// `Isa` provides the vector type V (a GCC vector of W doubles) and Fma(a, b, c) = a * b + c,
// fused where the instruction set has it.

#include <cmath>
#include <cstdint>

namespace panelflow::assembly {
namespace {

template <class Isa>
struct VectorMath {
    using V = typename Isa::V;
    static constexpr int W = sizeof(V) / sizeof(double);
    typedef std::uint64_t Bits __attribute__((vector_size(sizeof(V))));
    typedef std::int64_t Mask __attribute__((vector_size(sizeof(V))));  // lanes of all ones or zeros

    static V Splat(double x) {
        V v;
        for (int lane = 0; lane < W; ++lane) v[lane] = x;
        return v;
    }
    static Bits BitsOf(V x) { return (Bits)x; }  // the same bits, seen as integers
    static V FromBits(Bits b) { return (V)b; }
    static V Abs(V x) { return FromBits(BitsOf(x) & ~BitsOf(Splat(-0.0))); }

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

    template <int n>
    static V Product(const V* v) {
        if constexpr (n == 1) return v[0];
        else return Product<n / 2>(v) * Product<n - n / 2>(v + n / 2);
    }

    // r[k] = 1 / v[k] for k < n, given inverse = 1 / (v[0] ... v[n-1]): each reciprocal is the
    // product of the inverse with the other entries, the partial products shared as in a tree.
    template <int n>
    static void Reciprocals(const V* v, V* r, V inverse) {
        if constexpr (n == 1) {
            r[0] = inverse;
        } else {
            Reciprocals<n / 2>(v, r, inverse * Product<n - n / 2>(v + n / 2));
            Reciprocals<n - n / 2>(v + n / 2, r + n / 2, inverse * Product<n / 2>(v));
        }
    }

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

    // log(p / q) = e log(2) + log(m), m = mp / mq in [sqrt(1/2), sqrt(2)], and log(m) = 2 atanh(s)
    // with s = (mp - mq) / (mp + mq); the difference is exact, the sum is the denominator whose
    // reciprocal the caller supplies. Lanes that are not ordinary (p or q not positive, normal and
    // finite, or a quotient near overflow or underflow) are left to the caller.
    struct LogParts {
        V numerator, denominator, e;
        Mask ordinary;
    };
    static LogParts PrepareLog(V p, V q) {
        const V smallest = Splat(0x1p-1022), largest = Splat(__DBL_MAX__);
        V mp, mq, ep, eq;
        Split(p, mp, ep);
        Split(q, mq, eq);
        V e = ep - eq;
        const Mask ordinary = (p >= smallest) & (p <= largest) & (q >= smallest) & (q <= largest) &
                              (Abs(e) <= Splat(1000.0));
        const V sqrtTwo = Splat(0x1.6a09e667f3bcdp0);
        const Mask above = mp > sqrtTwo * mq, below = mq > sqrtTwo * mp;
        mq = above ? mq + mq : mq;
        mp = below ? mp + mp : mp;
        e = above ? e + Splat(1.0) : below ? e - Splat(1.0) : e;
        return {mp - mq, mp + mq, e, ordinary};
    }
    static V FinishLog(const LogParts& parts, V reciprocal) {
        static constexpr double kR[] = {0.666666666666667,   0.39999999999899505, 0.28571428625975487,
                                        0.2222221113479508,  0.18182889125261723, 0.15331721600556042,
                                        0.14616449685043406};
        constexpr double kLn2High = 0.6931471803691238;  // 32 bits: e * kLn2High is exact
        constexpr double kLn2Low = 1.9082149292705877e-10;
        const V s = parts.numerator * reciprocal;
        const V w = s * s;
        const V tail = Isa::Fma(s * w, Polynomial(w, kR), parts.e * Splat(kLn2Low));
        return Isa::Fma(parts.e, Splat(kLn2High), (s + s) + tail);
    }

    // atan(y / x) from A / B in [0, 1], A and B the smaller and the larger of |y| and |x|; above
    // tan(Pi/8), atan(A / B) = Pi/4 + atan((A - B) / (A + B)). The denominator is scaled by a
    // power of two into [1, 2), so that its reciprocal can come from a shared division. Lanes
    // that are not ordinary (a denominator that is zero, subnormal, huge or NaN, or a numerator
    // that the scaling would make subnormal) are left to the caller.
    struct AtanParts {
        V numerator, denominator;
        Mask swap, reduce;
        Bits sign;
        Mask ordinary;
    };
    static AtanParts PrepareAtan(V y, V x) {
        const V absY = Abs(y), absX = Abs(x);
        const Mask swap = absY > absX;
        const V A = swap ? absX : absY, B = swap ? absY : absX;  // a NaN stays in A or B
        const Mask reduce = A > Splat(0.41421356237309503) * B;
        V numerator = reduce ? A - B : A, denominator = reduce ? A + B : B;
        const Mask ordinary = (denominator >= Splat(0x1p-1022)) & (denominator < Splat(0x1p1022));
        // 2^(1023 - exponent): the exponent field 2046 less the denominator's.
        const V scale = FromBits((2046ull << 52) - (BitsOf(denominator) & 0x7ff0000000000000));
        numerator = numerator * scale;
        denominator = ordinary ? denominator * scale : Splat(1.0);
        const Mask exact = (Abs(numerator) >= Splat(0x1p-1022)) | (numerator == Splat(0.0));
        return {numerator, denominator, swap, reduce, (BitsOf(y) ^ BitsOf(x)) & BitsOf(Splat(-0.0)),
                ordinary & exact};
    }
    static V FinishAtan(const AtanParts& parts, V reciprocal) {
        static constexpr double kP[] = {-0.3333333333333333,  0.1999999999999552,   -0.14285714284666542,
                                        0.11111111015256361,  -0.09090904578123903, 0.07692183190826087,
                                        -0.06664511447381948, 0.0585814891280221,   -0.0508544973794026,
                                        0.03923165829558719,  -0.01917688711906226};
        constexpr double kQuarterPiHigh = 0.7853981633974483, kQuarterPiLow = 3.061616997868383e-17;
        constexpr double kHalfPiHigh = 1.5707963267948966, kHalfPiLow = 6.123233995736766e-17;
        const V t = parts.numerator * reciprocal;
        const V w = t * t;
        V angle = Isa::Fma(t * w, Polynomial(w, kP), parts.reduce ? Splat(kQuarterPiLow) : Splat(0.0));
        angle = (parts.reduce ? Splat(kQuarterPiHigh) : Splat(0.0)) + (t + angle);
        angle = parts.swap ? Splat(kHalfPiHigh) - (angle - Splat(kHalfPiLow)) : angle;
        return FromBits(BitsOf(angle) | parts.sign);  // the quotient's sign
    }

    // logOfQuotient[k] = log(p[k] / q[k]) and atanOfQuotient[k] = atan(y[k] / x[k]) for any
    // arguments, without forming the quotients, with one division for all of them. The values
    // are those of the functions of the rounded quotients up to a few ulps, with the same special
    // values, signs and zeros (atan(0 / -1) = -0, log(1 / 0) = inf); unusual lanes are computed
    // from the rounded quotients lane by lane.
    template <int n>
    static void LogsAndArctangents(const V (&p)[n], const V (&q)[n], const V (&y)[n], const V (&x)[n],
                                   V (&logOfQuotient)[n], V (&atanOfQuotient)[n]) {
        LogParts logs[n];
        AtanParts atans[n];
        V denominators[2 * n], reciprocals[2 * n];
        Mask unusual = Splat(0.0) != Splat(0.0);
        for (int k = 0; k < n; ++k) {
            logs[k] = PrepareLog(p[k], q[k]);
            atans[k] = PrepareAtan(y[k], x[k]);
            denominators[k] = logs[k].denominator;
            denominators[n + k] = atans[k].denominator;
            unusual = unusual | ~logs[k].ordinary | ~atans[k].ordinary;
        }
        // The denominators lie in [1.4, 4.3] and [1, 2): their product cannot overflow.
        Reciprocals<2 * n>(denominators, reciprocals, Splat(1.0) / Product<2 * n>(denominators));
        for (int k = 0; k < n; ++k) {
            logOfQuotient[k] = FinishLog(logs[k], reciprocals[k]);
            atanOfQuotient[k] = FinishAtan(atans[k], reciprocals[n + k]);
        }
        if (Isa::Any(unusual)) {
            for (int k = 0; k < n; ++k) {
                for (int lane = 0; lane < W; ++lane) {
                    if (logs[k].ordinary[lane] == 0) logOfQuotient[k][lane] = std::log(p[k][lane] / q[k][lane]);
                    if (atans[k].ordinary[lane] == 0) atanOfQuotient[k][lane] = std::atan(y[k][lane] / x[k][lane]);
                }
            }
        }
    }
};

}  // namespace
}  // namespace panelflow::assembly
