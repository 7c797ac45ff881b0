#include "zelmath/curves/ClothoidFresnel.h"

#include <array>
#include <cmath>

namespace clothoid {
namespace {

// Tangent angle (radians) up to which the power series is summed; beyond it the continued
// fraction converges in at most 46 steps. At the switch the series loses about e^t / (2t) = 7
// units in the last place to cancellation.
constexpr double kSeriesMaxTurn = 4.0;

constexpr int kSeriesTerms = 20;
// n / s = sum_k c_k t^(2k) with c_k = (-1)^k / ((2k)! (4k + 1)), and
// e / s = t sum_k d_k t^(2k) with d_k = (-1)^k / ((2k + 1)! (4k + 3)): the Taylor series of
// integral_0^1 exp(i t x^2) dx. Rounded from 50-digit values (mpmath).
constexpr std::array<double, kSeriesTerms> kCosCoef = {
    1.0,
    -0.10000000000000001,
    0.0046296296296296294,
    -0.00010683760683760684,
    1.4589169000933706e-06,
    -1.3122532963802806e-08,
    8.3507027951472397e-11,
    -3.9554295164585257e-13,
    1.4483264643598138e-15,
    -4.2214072888070882e-18,
    1.0025164934907719e-20,
    -1.9770647538779051e-23,
    3.2892603491757519e-26,
    -4.6784835155184856e-29,
    5.7541916439821717e-32,
    -6.1803075882227962e-35,
    5.8467550074688358e-38,
    -4.9089239645234232e-41,
    3.6824935154611457e-44,
    -2.4830690974549118e-47,
};
constexpr std::array<double, kSeriesTerms> kSinCoef = {
    0.33333333333333331,     -0.023809523809523808,   0.00075757575757575758,
    -1.3227513227513228e-05, 1.4503852223150468e-07,  -1.0892221037148573e-09,
    5.9477940136376354e-12,  -2.4668270102644571e-14, 8.0327350124157733e-17,
    -2.1078551914421359e-19, 4.5518467589281999e-22,  -8.230149299214221e-25,
    1.2641078988989164e-27,  -1.6697617934173721e-30, 1.9169428621097826e-33,
    -1.930357208815108e-36,  1.7188560628017835e-39,  -1.3630412617791396e-42,
    9.6872802388707611e-46,  -6.2056579196373969e-49,
};

// The polynomial with the N coefficients c[0], c[S], c[2S], ... at x, split into its even and
// odd parts down to pairs (Estrin's scheme): the parts are independent, so the depth is log2 N
// multiply-adds rather than N.
template <int N, int S>
double poly(const double* c, double x) {
    if constexpr (N == 1) {
        return c[0];
    } else if constexpr (N == 2) {
        return c[S] * x + c[0];
    } else {
        const double x2 = x * x;
        return x * poly<N / 2, 2 * S>(c + S, x2) + poly<(N + 1) / 2, 2 * S>(c, x2);
    }
}

// Both sums with N terms each.
template <int N>
void seriesOf(double s, double t, double& n, double& e) {
    const double t2 = t * t;
    n = s * poly<N, 1>(kCosCoef.data(), t2);
    e = s * t * poly<N, 1>(kSinCoef.data(), t2);
}

// With as many terms as keep the rest of both sums below 1e-18 for |t| up to each bound.
void series(double s, double t, double& n, double& e) {
    const double at = std::fabs(t);
    if (at <= 0.5) return seriesOf<8>(s, t, n, e);
    if (at <= 1.5) return seriesOf<11>(s, t, n, e);
    return seriesOf<17>(s, t, n, e);
}

// From t = 4 to 64 the auxiliary function h(t) below comes from fitted polynomials: on each of
// [4, 8], [8, 16], [16, 32] and [32, 64], 2t h(t) (which tends to i) as two polynomials of
// degree 15 in y = (1/t - wMid) / wHalf, y in [-1, 1]. Fitted to Chebyshev nodes from 40-digit
// values (mpmath.chebyfit of the Fresnel integrals); the fits' own error is below 1e-18.
constexpr double kFitMaxTurn = 64.0;
constexpr int kFitTerms = 16;
struct AuxFit {
    double wMid;
    double wHalf;
    std::array<double, kFitTerms> re;
    std::array<double, kFitTerms> im;
};
constexpr std::array<AuxFit, 4> kAuxFit = {{
    {0.1875,
     0.0625,
     {0.08497190676481417, 0.023884151165845014, -0.0016110169561009589, 3.3773386224883438e-05,
      1.2445992219216869e-05, -2.9892855621534873e-06, 4.4317639561423857e-07,
      -4.440893894894652e-08, 7.1430053344587064e-10, 1.0835329252948243e-09,
      -3.6418809938460929e-10, 8.3272209093703048e-11, -1.552304367830475e-11,
      2.3265891212614805e-12, -1.4876257076958697e-13, -3.6089056085179939e-14},
     {0.9785990487100108, -0.012038673869776624, -0.00093683620434236185, 0.00018255660243218999,
      -1.8816362691391356e-05, 8.8900034880943546e-07, 1.637324282227466e-07,
      -6.251819667224717e-08, 1.3121430896023118e-08, -2.088789403944778e-09,
      2.4131204897338412e-10, -8.4176457324537622e-12, -5.6779469058467467e-12,
      2.3785677306109445e-12, -7.5619538595176206e-13, 1.5848478229040275e-13}},
    {0.09375,
     0.03125,
     {0.045498367190137258, 0.014339058712938011, -0.0003636156603824452, -1.7992709547090838e-05,
      3.2926436201491713e-06, -2.2185751711619301e-07, -4.0282703981866082e-09,
      3.5183629347534822e-09, -5.7683622463538332e-10, 5.3785404389892123e-11,
      -3.3106253501192085e-13, -1.0950183125803205e-12, 2.8129643407410688e-13,
      -4.5875398132821745e-14, 4.3390048767286495e-15, 7.8622459314297915e-17},
     {0.99383440377494847, -0.0038670950642256158, -0.00050356167176476656, 3.5667556774983481e-05,
      -3.4388564466168183e-07, -2.3783930954644147e-07, 3.5925613182013509e-08,
      -2.6666497892390255e-09, -6.846732256331672e-11, 6.086679090282239e-11,
      -1.1943236919404464e-11, 1.4724357813643591e-12, -8.5027054425640635e-14,
      -1.54168641539862e-14, 7.4074364275682378e-15, -1.4993982633849242e-15}},
    {0.046875,
     0.015625,
     {0.023250600290283797, 0.0076294714122403821, -5.7947687366203709e-05, -5.1944371245923142e-06,
      2.5997294783344465e-07, 3.538888200691558e-09, -1.3205159154874321e-09,
      8.0876940424929906e-11, 1.9179078380071867e-12, -8.933354160672192e-13,
      8.9170834635429329e-14, -1.9002317526802368e-15, -8.5232286040920265e-16,
      1.6303563358271426e-16, -1.3833331427149912e-17, -1.7645936476372282e-19},
     {0.99838216963835014, -0.0010594262088180172, -0.00016440099275863798, 3.7000268159852278e-06,
      1.7799952808265762e-07, -1.8906959126968937e-08, 3.9000335115942022e-10,
      7.6986205089059936e-11, -9.830520391071611e-12, 3.9457285869806893e-13,
      4.9855920998888026e-14, -1.1190227858886513e-14, 1.0224420821116015e-15,
      -6.6029549444636521e-18, -1.5514942829329567e-17, 2.753635621810029e-18}},
    {0.0234375,
     0.0078125,
     {0.0116948150055578, 0.003882449039619095, -7.8236083682441172e-06, -8.2162943959767149e-07,
      1.1315791908282455e-08, 5.6718410773434517e-10, -2.670091897140865e-11,
      -3.4998252675627376e-13, 7.803465680430081e-14, -2.1676114825826914e-15,
      -1.8815669465342218e-16, 2.0581525048149613e-17, -3.7130446354120454e-19,
      -9.5051746171149848e-20, 1.0006533550850965e-20, -1.8094825847012084e-22},
     {0.99958996668855538, -0.00027206992460385718, -4.4498991028032892e-05, 2.7479239440677126e-07,
      2.0012711406895327e-08, -5.26136823097259e-10, -1.6376400249387292e-11,
      1.4309509214859659e-12, -8.2989847235160443e-15, -4.1098287128660565e-15,
      2.3536250289537175e-16, 4.894835812516831e-18, -1.5492328523772534e-18,
      8.5189145110532181e-20, 3.6385765617043286e-21, -9.3071862566578443e-22}},

}};

void fitted(double t, double& hRe, double& hIm) {
    const AuxFit& f = kAuxFit[t < 8.0 ? 0 : t < 16.0 ? 1 : t < 32.0 ? 2 : 3];
    const double y = (1.0 / t - f.wMid) / f.wHalf;
    const double half = 0.5 / t;
    hRe = half * poly<kFitTerms, 1>(f.re.data(), y);
    hIm = half * poly<kFitTerms, 1>(f.im.data(), y);
}

// Beyond t = 64 the continued fraction below: steps that bring it within a unit in the last
// place for t at the lower end of each range (it converges faster as t grows).
struct FractionDepth {
    double fromTurn;
    int steps;
};
constexpr std::array<FractionDepth, 3> kFractionDepth = {
    {{kFitMaxTurn, 7}, {100.0, 5}, {1000.0, 4}}};

int fractionSteps(double t) {
    int steps = kFractionDepth[0].steps;
    for (const FractionDepth& d : kFractionDepth) {
        if (t < d.fromTurn) break;
        steps = d.steps;
    }
    return steps;
}

// The auxiliary function h(t) = 1 / (b1 - 2 / (b2 - 12 / (b3 - 30 / (b4 - ...)))) with
// b_k = 4k - 3 - 2 i t and partial numerators -(2k - 3)(2k - 2), the continued fraction of the
// complementary error function at the clothoid's argument. Summed forwards by the three-term
// recurrence of numerators and denominators (no division until the end); t > 0. Returns the
// real and imaginary parts.
void fraction(double t, double& hRe, double& hIm) {
    // Numerators p and denominators q of the convergents, the last two of each.
    double pRe = 1.0, pIm = 0.0, qRe = 0.0, qIm = 0.0;      // k - 2 (the "-1" convergent)
    double pRe1 = 0.0, pIm1 = 0.0, qRe1 = 1.0, qIm1 = 0.0;  // k - 1
    const double bIm = -2.0 * t;
    const int steps = fractionSteps(t);
    for (int k = 1; k <= steps; ++k) {
        const double a = k == 1 ? 1.0 : -(2.0 * k - 3.0) * (2.0 * k - 2.0);
        const double bRe = 4.0 * k - 3.0;
        const double pReN = bRe * pRe1 - bIm * pIm1 + a * pRe;
        const double pImN = bRe * pIm1 + bIm * pRe1 + a * pIm;
        const double qReN = bRe * qRe1 - bIm * qIm1 + a * qRe;
        const double qImN = bRe * qIm1 + bIm * qRe1 + a * qIm;
        pRe = pRe1, pIm = pIm1, qRe = qRe1, qIm = qIm1;
        pRe1 = pReN, pIm1 = pImN, qRe1 = qReN, qIm1 = qImN;
    }
    const double q2 = qRe1 * qRe1 + qIm1 * qIm1;
    hRe = (pRe1 * qRe1 + pIm1 * qIm1) / q2;
    hIm = (pIm1 * qRe1 - pRe1 * qIm1) / q2;
}

// For t > 0: n + i e = A sqrt(pi) (1 + i) / 2 - s exp(i t) h(t), the clothoid's limit point
// less what lies beyond s, with A = s / sqrt(2t).
void beyondSeries(double s, double t, double& n, double& e) {
    double hRe = 0.0, hIm = 0.0;
    if (t < kFitMaxTurn)
        fitted(t, hRe, hIm);
    else
        fraction(t, hRe, hIm);
    const double half = 0.5 * std::sqrt(3.14159265358979323846 / (2.0 * t)) * s;
    const double c = std::cos(t), sn = std::sin(t);
    n = half - s * (c * hRe - sn * hIm);
    e = half - s * (c * hIm + sn * hRe);
}

}  // namespace

void point(double s, double t, double& n, double& e) {
    const double at = std::fabs(t);
    if (at <= kSeriesMaxTurn) {
        series(s, t, n, e);
        return;
    }
    beyondSeries(s, at, n, e);
    if (t < 0.0) e = -e;  // a left turn is the mirror image
}

}  // namespace clothoid
