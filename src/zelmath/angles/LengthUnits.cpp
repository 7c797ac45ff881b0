#include "velmorutils/zelmath/angles/LengthUnits.h"

#include <cmath>

#include "velmorutils/zelmath/angles/AngleConversions.h"

namespace {

constexpr double kUsFootInMetres = 0.3048006096012192;  // 1200 / 3937
constexpr double kUsFeetPerMetre = 3.2808333333333333;  // 3937 / 1200
constexpr double kIntFootInMetres = 0.3048;
constexpr double kIntFeetPerMetre = 3.280839895013123;

struct FeetInchesEighths {
    double feet;
    long long inches;
    long long eighths;
};

// Eight eighths make an inch and twelve inches a foot.
void carry(FeetInchesEighths& v) {
    v.inches += v.eighths / 8;
    v.eighths %= 8;
    v.feet += static_cast<double>(v.inches / 12);
    v.inches %= 12;
}

}  // namespace

double USFeet2Meter(double x) {
    return x * kUsFootInMetres;
}
double Meter2USFeet(double x) {
    return dNearInt(x * 100000.0 * kUsFeetPerMetre) / 100000.0;
}
double IFeet2Meter(double x) {
    return x * kIntFootInMetres;
}
double Meter2IFeet(double x) {
    return dNearInt(x * 100000.0 / kIntFootInMetres) / 100000.0;
}

double FFFII2Meter(double v, bool us) {
    if (!std::isfinite(v)) return v;  // no digits to read; NaN and infinity pass through
    const bool negative = v < 0;
    // The digits are read from the value rounded to three decimals, not by truncating binary
    // fractions: 5.10 has no exact double, and truncation would read it as 9 inches and ten
    // eighths (10 2/8 in) where the surveyor typed 10 inches.
    const double thousandths = std::round(std::fabs(v) * 1000.0);
    const double ft = std::trunc(thousandths / 1000.0);
    const long long rest = static_cast<long long>(thousandths - ft * 1000.0);
    FeetInchesEighths fie{ft, rest / 10, rest % 10};
    carry(fie);
    double feet = fie.feet + (static_cast<double>(fie.inches) + fie.eighths / 8.0) / 12.0;
    if (negative) feet = -feet;
    return feet * 100000.0 * (us ? kUsFootInMetres : kIntFootInMetres) / 100000.0;
}

double Meter2FFFII(double m, bool us) {
    if (!std::isfinite(m)) return m;
    double feet = dNearInt(m * 100000.0 * (us ? kUsFeetPerMetre : kIntFeetPerMetre)) / 100000.0;
    const bool negative = feet < 0;
    feet = std::fabs(feet);
    const double ft = std::trunc(feet);
    const double g = (feet - ft) * 12.0;
    const double in = std::trunc(g);
    FeetInchesEighths fie{ft, static_cast<long long>(in),
                          static_cast<long long>(dNearInt((g - in) * 8.0))};
    carry(fie);
    const double packed = fie.feet + fie.inches / 100.0 + fie.eighths / 1000.0;
    return negative ? -packed : packed;
}
