// SPDX-License-Identifier: GPL-3.0-or-later
// The program collection computes what independent arithmetic says. Each
// case plays a program through the batch mode as a user keys it (START STOP,
// an input, START STOP, …) and compares every printed number with a value
// worked out here from closed formulas, the standard library or published
// values — never from the program's own output — to the digits the tape shows.
#include "runner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <functional>
#include <iostream>
#include <map>
#include <numeric>
#include <regex>
#include <set>

using namespace vx::test;

namespace {

using Values = std::vector<double>;
const double err = std::nan(""); // the line must be the machine's ERROR

double dms(double h, double m, double s = 0) {
    return h + m / 60 + s / 3600;
}

Values operator+(Values a, const Values& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The value a printed number line stands for, and the unit of its last digit.
struct Printed {
    double value = 0, unit = 0;
};
std::optional<Printed> read(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    std::istringstream in(text);
    std::vector<std::string> fields;
    for (std::string f; in >> f;) fields.push_back(f);
    if (fields.empty() || fields.size() > 3) return std::nullopt;
    const std::string& last = fields.back();
    const auto decimals = [](const std::string& f) {
        const auto d = f.find('.');
        return d == std::string::npos ? 0 : static_cast<int>(f.size() - d - 1);
    };
    if (fields.size() == 3) { // hours (or degrees), minutes, seconds; the sign stands for all
        const double sign = fields[0][0] == '-' ? -1 : 1;
        return Printed{
            sign * (std::abs(std::stod(fields[0])) + std::stod(fields[1]) / 60 + std::stod(last) / 3600),
            std::pow(10.0, -decimals(last)) / 3600 + 1e-12};
    }
    if (fields.size() == 2) { // mantissa and exponent
        const int exponent = std::stoi(fields[1]);
        return Printed{std::stod(fields[0]) * std::pow(10.0, exponent),
                       std::pow(10.0, exponent - decimals(fields[0]))};
    }
    return Printed{std::stod(last), std::pow(10.0, -decimals(last))};
}

struct Case {
    const char* area;   // the file of the collection
    int program;        // its number there
    const char* inputs; // what is keyed at each STOP, "|" between; "" keys nothing
    Values printed;     // every number the run prints, in order (after the inputs)
    const char* models = "410 412";
    const char* setup = ""; // switches set before the run
    bool echoed = true;     // the inputs are printed first, as keyed
};

// The inputs as a program prints them back: "1 dms 30 chs" is −1.5 hours.
Values keyed(const std::string& inputs) {
    Values v;
    std::istringstream items(inputs);
    for (std::string item; std::getline(items, item, '|');) {
        std::istringstream words(item);
        double value = 0, scale = 1, sign = 1;
        for (std::string w; words >> w;) {
            if (w == "chs")
                sign = -1;
            else if (w == "dms")
                scale /= 60;
            else
                value += std::stod(w) * scale;
        }
        if (!item.empty()) v.push_back(sign * value);
    }
    return v;
}

std::string script(const Case& c) {
    std::string s = std::string(c.setup) + " startStop";
    std::string in = c.inputs;
    if (in.empty()) return s;
    std::size_t from = 0;
    while (true) {
        const std::size_t bar = in.find('|', from);
        s += " wait " + in.substr(from, bar - from) + " startStop";
        if (bar == std::string::npos) return s;
        from = bar + 1;
    }
}

// --- Independent arithmetic -----------------------------------------------

Values quadratic(double a, double b, double c) {
    const double d = b * b - 4 * a * c;
    if (d < 0) return {d, -b / (2 * a), std::sqrt(-d) / (2 * a)};
    return {(-b + std::sqrt(d)) / (2 * a), (-b - std::sqrt(d)) / (2 * a)};
}

Values primeFactors(long long n) {
    Values f;
    for (long long d = 2; d * d <= n; ++d)
        for (; n % d == 0; n /= d) f.push_back(static_cast<double>(d));
    if (n > 1) f.push_back(static_cast<double>(n));
    return f;
}

Values fibonacci(int n) {
    Values f;
    for (double a = 0, b = 1; n-- > 0; a = std::exchange(b, a + b)) f.push_back(b);
    return f;
}

Values complexPair(double a, double b, double c, double d) {
    const std::complex<double> x(a, b), y(c, d), p = x * y, q = x / y;
    return {p.real(), p.imag(), q.real(), q.imag()};
}

Values meanAndDeviation(const Values& x) {
    const double n = static_cast<double>(x.size());
    const double mean = std::accumulate(x.begin(), x.end(), 0.0) / n;
    double sq = 0;
    for (double v : x) sq += (v - mean) * (v - mean);
    return {mean, std::sqrt(sq / (n - 1))};
}

Values regression(const Values& x, const Values& y) {
    const double n = static_cast<double>(x.size());
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / n;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / n;
    double sxx = 0, sxy = 0, syy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxx += (x[i] - mx) * (x[i] - mx);
        sxy += (x[i] - mx) * (y[i] - my);
        syy += (y[i] - my) * (y[i] - my);
    }
    const double b = sxy / sxx;
    return {my - b * mx, b, sxy / std::sqrt(sxx * syy)};
}

Values normal(double mu, double sigma, double x) {
    const double z = (x - mu) / sigma;
    return {z, std::exp(-z * z / 2) / std::sqrt(2 * M_PI), 0.5 * std::erfc(-z / std::sqrt(2.0))};
}

double choose(int n, int k) {
    return std::exp(std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1));
}

Values binomial(int n, double p, int k) {
    double cumulative = 0;
    for (int i = 0; i <= k; ++i) cumulative += choose(n, i) * std::pow(p, i) * std::pow(1 - p, n - i);
    return {choose(n, k) * std::pow(p, k) * std::pow(1 - p, n - k), cumulative};
}

Values poisson(double lambda, int k) {
    double cumulative = 0;
    for (int i = 0; i <= k; ++i) cumulative += std::exp(-lambda + i * std::log(lambda) - std::lgamma(i + 1));
    return {std::exp(-lambda) * std::pow(lambda, k) / std::tgamma(k + 1), cumulative};
}

double annuity(double k, double p, double n) {
    const double i = p / 100, qn = std::pow(1 + i, n);
    return k * qn * i / (qn - 1);
}

Values amortisation(double k, double p, int n) {
    const double a = annuity(k, p, n);
    Values v{a};
    for (int t = 0; t < n; ++t) {
        const double interest = k * p / 100;
        k -= a - interest;
        v.insert(v.end(), {interest, a - interest, std::round(k * 100) / 100});
    }
    return v;
}

double presentValue(double p, const Values& flows) {
    double v = 0;
    for (std::size_t t = 0; t < flows.size(); ++t)
        v += flows[t] / std::pow(1 + p / 100, static_cast<double>(t));
    return v;
}

// The rate (in percent) at which `value` falls to zero, by Newton's method on doubles.
double rootRate(const std::function<double(double)>& value) {
    double p = 10;
    for (int i = 0; i < 100; ++i) p -= value(p) / ((value(p + 1e-6) - value(p - 1e-6)) / 2e-6);
    return p;
}

// The rate at which payments `r` for `n` periods are worth `k` today.
double rateOf(double k, double r, double n) {
    return rootRate([=](double p) { return r * (1 - std::pow(1 + p / 100, -n)) / (p / 100) - k; });
}
double internalRate(const Values& flows) {
    return rootRate([&](double p) { return presentValue(p, flows); });
}
Values savingsPlan(double k, double p, double n) {
    const double saved = k * (std::pow(1 + p / 100, n) - 1) / (p / 100);
    return {saved, saved - k * n};
}

Values depreciation(double value, int years, double p) {
    Values v;
    for (int t = 0; t < years; ++t) {
        const double amount = std::max(value * p / 100, value / (years - t));
        value -= amount;
        v.insert(v.end(), {amount, value});
    }
    return v;
}

double degrees(double radians) {
    return radians * 180 / M_PI;
}
double radians(double deg) {
    return deg * M_PI / 180;
}

Values threeSides(double a, double b, double c) {
    const double s = (a + b + c) / 2;
    return {degrees(std::acos((b * b + c * c - a * a) / (2 * b * c))),
            degrees(std::acos((a * a + c * c - b * b) / (2 * a * c))),
            degrees(std::acos((a * a + b * b - c * c) / (2 * a * b))),
            std::sqrt(s * (s - a) * (s - b) * (s - c))};
}

Values twoSidesAngle(double b, double c, double alpha) {
    const double a = std::sqrt(b * b + c * c - 2 * b * c * std::cos(radians(alpha)));
    const Values angles = threeSides(a, b, c);
    return {a, angles[1], angles[2], b * c * std::sin(radians(alpha)) / 2};
}

Values sideTwoAngles(double c, double alpha, double beta) {
    const double gamma = 180 - alpha - beta, k = c / std::sin(radians(gamma));
    const double a = k * std::sin(radians(alpha)), b = k * std::sin(radians(beta));
    return {gamma, a, b, a * b * std::sin(radians(gamma)) / 2};
}

// A traverse from (x, y) over legs of (direction, length) in the unit `turn` / 2.
Values traverse(double x, double y, const Values& legs, double half = 180) {
    Values v{x, y};
    double total = 0;
    for (std::size_t i = 0; i < legs.size(); i += 2) {
        x += legs[i + 1] * std::cos(legs[i] * M_PI / half);
        y += legs[i + 1] * std::sin(legs[i] * M_PI / half);
        total += legs[i + 1];
        v.insert(v.end(), {legs[i], legs[i + 1], x, y});
    }
    v.push_back(total);
    return v;
}

Values polygon(const Values& xy) {
    double twice = 0;
    const std::size_t n = xy.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        twice += xy[2 * i] * xy[2 * j + 1] - xy[2 * j] * xy[2 * i + 1];
    }
    return {std::abs(twice) / 2};
}

Values resistors(const Values& r) {
    double series = 0, conductance = 0;
    for (double v : r) series += v, conductance += 1 / v;
    return {series, 1 / conductance};
}

// Inch, foot, mile, pound, US gallon, degree Fahrenheit by their exact definitions.
const Values unitFactors = {2.54, 0.3048, 1.609344, 0.45359237, 3.785411784};
Values toMetric(double x) {
    Values v;
    for (double f : unitFactors) v.push_back(x * f);
    v.push_back((x - 32) * 5 / 9);
    return v;
}
Values fromMetric(double x) {
    Values v;
    for (double f : unitFactors) v.push_back(x / f);
    v.push_back(x * 9 / 5 + 32);
    return v;
}

Values fahrenheitTable(double from, double to, double step) {
    Values v;
    for (double f = from; f <= to; f += step) v.insert(v.end(), {f, (f - 32) * 5 / 9});
    return v;
}

Values angleTable(double step) {
    Values v;
    for (double a = 0; a <= 90; a += step) v.insert(v.end(), {a, radians(a)});
    return v;
}

Values factorials(int n) {
    Values v;
    for (int i = 1; i <= n; ++i) v.push_back(std::tgamma(i + 1.0));
    return v;
}

using namespace std::chrono;
double dayNumber(int d, int m, int y) {
    return static_cast<double>(
        sys_days(year(y) / month(static_cast<unsigned>(m)) / day(static_cast<unsigned>(d)))
            .time_since_epoch()
            .count());
}
double weekdayOf(int d, int m, int y) {
    return weekday(sys_days(year(y) / month(static_cast<unsigned>(m)) / day(static_cast<unsigned>(d))))
        .iso_encoding();
}
Values dateAfter(int d, int m, int y, int n) {
    const year_month_day date(
        sys_days(year(y) / month(static_cast<unsigned>(m)) / day(static_cast<unsigned>(d))) + days(n));
    return {static_cast<double>(unsigned(date.day())), static_cast<double>(unsigned(date.month())),
            static_cast<double>(int(date.year()))};
}

Values sortedWithMedian(Values x) {
    std::sort(x.begin(), x.end());
    const std::size_t n = x.size();
    return x + Values{(x[(n - 1) / 2] + x[n / 2]) / 2};
}

Values polynomialAt(const Values& a, const Values& xs) {
    Values v = a;
    for (double x : xs) {
        double p = 0;
        for (double c : a) p = p * x + c;
        v.insert(v.end(), {x, p});
    }
    return v;
}

// --- The cases --------------------------------------------------------------

const double wallis = 2.0945514815423265; // the real root of x³ − 2x − 5

const std::vector<Case> cases = {
    // Mathematik
    {"Mathematik", 1, "1|3 chs|2", quadratic(1, -3, 2)},
    {"Mathematik", 1, "2|4|2", quadratic(2, 4, 2)},
    {"Mathematik", 1, "1|2|5", quadratic(1, 2, 5)},
    {"Mathematik", 2, "1|6 chs|11|6 chs|0", {1, 3, 2}},
    {"Mathematik", 2, "2|3 chs|4 chs|5|3", {(1 + std::sqrt(41)) / 4, 1, (1 - std::sqrt(41)) / 4}},
    {"Mathematik", 2, "1|0|1|10|0", {-2, -16, 1, 2}},
    {"Mathematik", 3, "2|3", {wallis}},
    {"Mathematik", 3, "1 chs|5", {wallis}},
    {"Mathematik", 3, "0|1", {err}},
    {"Mathematik", 4, "0|1|10", {std::atan(1.0)}},
    {"Mathematik", 4, "0|2|40", {std::atan(2.0)}},
    {"Mathematik", 4, "1 chs|1|50", {M_PI / 2}},
    {"Mathematik", 5, "462|1071", {std::gcd(462, 1071), std::lcm(462, 1071)}},
    {"Mathematik", 5, "12|18", {6, 36}},
    {"Mathematik", 5, "17|5", {1, 85}},
    {"Mathematik", 6, "360", primeFactors(360)},
    {"Mathematik", 6, "97", primeFactors(97)},
    {"Mathematik", 6, "2147483646", primeFactors(2147483646)},
    {"Mathematik", 7, "10", fibonacci(10)},
    {"Mathematik", 7, "1", fibonacci(1)},
    {"Mathematik", 7, "30", fibonacci(30)},
    {"Mathematik", 8, "3|2|1|4 chs", complexPair(3, 2, 1, -4)},
    {"Mathematik", 8, "0|1|0|1", complexPair(0, 1, 0, 1)},
    {"Mathematik", 8, "1.5|2 chs|3 chs|.5", complexPair(1.5, -2, -3, 0.5)},
    // Systems made from a chosen solution: the right-hand sides are computed here.
    {"Mathematik", 9, "2|3|8|1|1 chs|1 chs", {1, 2}},
    {"Mathematik", 9, "4|1|.5|2|3|6.5", {-0.5, 2.5}},
    {"Mathematik", 9, "1|1|0|1|1 chs|10", {5, -5}},
    {"Mathematik", 10, "2|1|1 chs|8|3 chs|1 chs|2|11 chs|2 chs|1|2|3 chs", {2, 3, -1}},
    {"Mathematik", 10, "1|0|0|4|0|2|0|6|0|0|4|8", {4, 3, 2}},
    {"Mathematik", 10, "1|1|1|6|1|2|3|14|1|4|9|36", {1, 2, 3}},
    {"Mathematik", 10, "0|1|1|2|1|0|1|2|1|1|0|2", {err}},
    {"Mathematik", 11, "10", factorials(10)},
    {"Mathematik", 11, "1", factorials(1)},
    {"Mathematik", 11, "16", factorials(16)},
    {"Mathematik", 12, "2|3 chs|0|5||2|1 chs|", polynomialAt({2, -3, 0, 5}, {2, -1}), "412", "", false},
    {"Mathematik", 12, "1|0|0|0|0|0|0|0|0|0|0||2|", polynomialAt({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {2}),
     "412", "", false},
    {"Mathematik", 12, "7||3|", polynomialAt({7}, {3}), "412", "", false},
    // Statistik
    {"Statistik", 1, "2|4|4|4|5|5|7|9|", meanAndDeviation({2, 4, 4, 4, 5, 5, 7, 9})},
    {"Statistik", 1, "1|2|3|4|", meanAndDeviation({1, 2, 3, 4})},
    {"Statistik", 1, "10|20|", meanAndDeviation({10, 20})},
    {"Statistik", 2, "1|3|2|5|3|2|", Values{10} + meanAndDeviation({1, 1, 1, 2, 2, 2, 2, 2, 3, 3})},
    {"Statistik", 2, "5|1|7|1|", Values{2} + meanAndDeviation({5, 7})},
    {"Statistik", 2, "2|4|4|4|", Values{8} + meanAndDeviation({2, 2, 2, 2, 4, 4, 4, 4})},
    {"Statistik", 3, "1|2|2|4|3|5|4|4|5|5|", regression({1, 2, 3, 4, 5}, {2, 4, 5, 4, 5})},
    {"Statistik", 3, "0|1|1|3|2|5|", regression({0, 1, 2}, {1, 3, 5})},
    {"Statistik", 3, "1|10|2|8|3|7|4|3|", regression({1, 2, 3, 4}, {10, 8, 7, 3})},
    {"Statistik", 4, "100|15|130", normal(100, 15, 130)},
    {"Statistik", 4, "0|1|1.96 chs", normal(0, 1, -1.96)},
    {"Statistik", 4, "0|1|0", normal(0, 1, 0)},
    {"Statistik", 4, "50|10|90", normal(50, 10, 90)},
    {"Statistik", 5, "10|.5|3", binomial(10, 0.5, 3)},
    {"Statistik", 5, "20|.3|5", binomial(20, 0.3, 5)},
    {"Statistik", 5, "5|.1|0", binomial(5, 0.1, 0)},
    {"Statistik", 6, "2|3", poisson(2, 3)},
    {"Statistik", 6, ".5|0", poisson(0.5, 0)},
    {"Statistik", 6, "10|10", poisson(10, 10)},
    {"Statistik", 7, "7|3|9|1|4|", sortedWithMedian({7, 3, 9, 1, 4}), "412"},
    {"Statistik", 7, "7|3|9|1|", sortedWithMedian({7, 3, 9, 1}), "412"},
    {"Statistik", 7, "2.5 chs|", sortedWithMedian({-2.5}), "412"},
    // Finanzen
    {"Finanzen", 1, "1000|5|10", {1000 * std::pow(1.05, 10)}},
    {"Finanzen", 1, "2500|3.5|7", {2500 * std::pow(1.035, 7)}},
    {"Finanzen", 1, "100|10|1", {110}},
    {"Finanzen", 2, "10000|6|5", {annuity(10000, 6, 5), 5 * annuity(10000, 6, 5) - 10000}},
    {"Finanzen", 2, "200000|.5|360", {annuity(200000, 0.5, 360), 360 * annuity(200000, 0.5, 360) - 200000}},
    {"Finanzen", 2, "1000|10|1", {1100, 100}},
    {"Finanzen", 3, "1000|5|3", amortisation(1000, 5, 3)},
    {"Finanzen", 3, "5000|4|2", amortisation(5000, 4, 2)},
    {"Finanzen", 3, "1200|1|4", amortisation(1200, 1, 4)},
    {"Finanzen", 4, "8|1000 chs|300|400|500|", {presentValue(8, {-1000, 300, 400, 500})}},
    {"Finanzen", 4, "10|100 chs|110|", {0}},
    {"Finanzen", 4, "5|0|0|110.25|", {100}},
    {"Finanzen", 5, "10000|2500|5", {rateOf(10000, 2500, 5)}},
    {"Finanzen", 5, "1000|1100|1", {10}},
    {"Finanzen", 5, "500|100|10", {rateOf(500, 100, 10)}},
    {"Finanzen", 5, "1000|100|10", {err}},
    {"Finanzen", 6, "10000|5|40", depreciation(10000, 5, 40)},
    {"Finanzen", 6, "50000|10|20", depreciation(50000, 10, 20)},
    {"Finanzen", 6, "1000|3|50", depreciation(1000, 3, 50)},
    {"Finanzen", 7, "100|3|10", savingsPlan(100, 3, 10)},
    {"Finanzen", 7, "50|.25|120", savingsPlan(50, 0.25, 120)},
    {"Finanzen", 7, "1000|5|1", {1000, 0}},
    {"Finanzen", 8, "500|4|20", {500 * (1 - std::pow(1.04, -20)) / 0.04}},
    {"Finanzen", 8, "1000|5|1", {1000 / 1.05}},
    {"Finanzen", 8, "1200|.5|12", {1200 * (1 - std::pow(1.005, -12)) / 0.005}},
    {"Finanzen", 9, "6|12", {(std::pow(1.005, 12) - 1) * 100}},
    {"Finanzen", 9, "10|1", {10}},
    {"Finanzen", 9, "5|365", {(std::pow(1 + 0.05 / 365, 365) - 1) * 100}},
    {"Finanzen", 10, "1000 chs|300|400|500|", {internalRate({-1000, 300, 400, 500})}, "412"},
    {"Finanzen", 10, "100 chs|121|", {21}, "412"},
    {"Finanzen", 10, "100 chs|0|0|133.1|", {10}, "412"},
    // Technik und Vermessung
    {"Technik", 1, "3|4|5", threeSides(3, 4, 5)},
    {"Technik", 1, "5|5|5", threeSides(5, 5, 5)},
    {"Technik", 1, "7|8|9", threeSides(7, 8, 9)},
    {"Technik", 1, "1|2|5", {err}},
    {"Technik", 2, "5|7|60", twoSidesAngle(5, 7, 60)},
    {"Technik", 2, "1|1|90", twoSidesAngle(1, 1, 90)},
    {"Technik", 2, "10|4|120", twoSidesAngle(10, 4, 120)},
    {"Technik", 3, "10|30|45", sideTwoAngles(10, 30, 45)},
    {"Technik", 3, "1|60|60", sideTwoAngles(1, 60, 60)},
    {"Technik", 3, "5|20|100", sideTwoAngles(5, 20, 100)},
    {"Technik", 4, "3|4", {5, degrees(std::atan2(4, 3))}},
    {"Technik", 4, "1 chs|1", {std::sqrt(2.0), 135}},
    {"Technik", 4, "0|2 chs", {2, -90}},
    {"Technik", 5, "2|30", {std::sqrt(3.0), 1}},
    {"Technik", 5, "10|45", {10 / std::sqrt(2.0), 10 / std::sqrt(2.0)}},
    {"Technik", 5, "4|60 chs", {2, -2 * std::sqrt(3.0)}},
    {"Technik", 6, "1000|2000|30|100|120|50|", traverse(1000, 2000, {30, 100, 120, 50}), "410 412", "",
     false},
    {"Technik", 6, "0|0|45|10|315|10|", traverse(0, 0, {45, 10, 315, 10}), "410 412", "", false},
    {"Technik", 6, "500|500|50|100|150|100|", traverse(500, 500, {50, 100, 150, 100}, 200), "410 412",
     "angle:grad", false},
    {"Technik", 7, "0|0|4|0|4|3|0|3|", polygon({0, 0, 4, 0, 4, 3, 0, 3})},
    {"Technik", 7, "0|0|4|0|0|3|", polygon({0, 0, 4, 0, 0, 3})},
    {"Technik", 7, "1|1|6|2|7|5|3|8|1 chs|4|", polygon({1, 1, 6, 2, 7, 5, 3, 8, -1, 4})},
    {"Technik", 8, "100|220|470|", resistors({100, 220, 470})},
    {"Technik", 8, "1000|1000|", resistors({1000, 1000})},
    {"Technik", 8, "10|", resistors({10})},
    {"Technik", 9, "100", toMetric(100)},
    {"Technik", 9, "1", toMetric(1)},
    {"Technik", 9, "32", toMetric(32)},
    {"Technik", 10, "100", fromMetric(100)},
    {"Technik", 10, "1", fromMetric(1)},
    {"Technik", 10, "0", fromMetric(0)},
    {"Technik", 11, "0|100|20", fahrenheitTable(0, 100, 20)},
    {"Technik", 11, "32|212|90", fahrenheitTable(32, 212, 90)},
    {"Technik", 11, "40 chs|40 chs|10", fahrenheitTable(-40, -40, 10)},
    {"Technik", 12, "3", {9 * M_PI, 6 * M_PI}},
    {"Technik", 12, "1", {M_PI, 2 * M_PI}},
    {"Technik", 12, ".5", {M_PI / 4, M_PI}},
    {"Technik", 13, "15", angleTable(15)},
    {"Technik", 13, "30", angleTable(30)},
    {"Technik", 13, "45", angleTable(45)},
    // Zeit und Kalender
    {"Kalender", 1, "24|12|2026", {weekdayOf(24, 12, 2026)}},
    {"Kalender", 1, "1|1|2000", {weekdayOf(1, 1, 2000)}},
    {"Kalender", 1, "20|7|1969", {7}},
    // a Sunday
    {"Kalender", 2, "1|1|2026|24|12|2026", {dayNumber(24, 12, 2026) - dayNumber(1, 1, 2026)}},
    {"Kalender", 2, "1|1|2000|1|1|2001", {366}},
    {"Kalender", 2, "3|10|1990|9|11|1989", {dayNumber(9, 11, 1989) - dayNumber(3, 10, 1990)}},
    {"Kalender", 3, "10|12|2026|100", dateAfter(10, 12, 2026, 100)},
    {"Kalender", 3, "1|3|2024|1 chs", dateAfter(1, 3, 2024, -1)},
    {"Kalender", 3, "31|12|1999|10000", dateAfter(31, 12, 1999, 10000)},
    // Published Easter Sundays: 28 March 2027, 21 April 2019, 23 April 2000.
    {"Kalender", 4, "2027", {28, 3}},
    {"Kalender", 4, "2019", {21, 4}},
    {"Kalender", 4, "2000", {23, 4}},
    {"Kalender", 5, "2.5", {2.5}},
    {"Kalender", 5, "2 dms 30 dms 15", {dms(2, 30, 15)}},
    {"Kalender", 5, ".75", {dms(0, 45)}},
    {"Kalender", 6, "1 dms 45 dms 30|2 dms 30|0 dms 50 dms 15|", {dms(5, 5, 45), dms(5, 5, 45)}},
    {"Kalender", 6, "8 dms 15|1 dms 30 chs|", {dms(6, 45), dms(6, 45)}},
    {"Kalender", 6, "0 dms 0 dms 30|0 dms 0 dms 30|", {dms(0, 1), dms(0, 1)}},
    {"Kalender", 7, "250|80|8 dms 15", {250.0 / 80, dms(8, 15) + 250.0 / 80}},
    {"Kalender", 7, "100|100|0 dms 0", {1, 1}},
    {"Kalender", 7, "45|60|23 dms 50", {0.75, dms(24, 35)}},
};

class Collection : public BatchHome {};

} // namespace

TEST_F(Collection, EveryProgramComputesWhatIndependentArithmeticSays) {
    int played = 0;
    std::map<std::string, std::set<std::string>> proven; // model → "area/program"
    for (const Case& c : cases)
        for (const std::string model : {"410", "412"}) {
            if (std::string(c.models).find(model) == std::string::npos) continue;
            const std::string where = std::string(c.area) + " " + std::to_string(c.program) + " (" + model +
                                      ", \"" + c.inputs + "\")";
            const Result r = run({"--model", model, "--library", "examples/" + model + "/" + c.area + ".txt",
                                  "--program", std::to_string(c.program), "--play", script(c)});
            ASSERT_EQ(r.status, 0) << where << r.err;
            const Values printed = c.echoed ? keyed(c.inputs) + c.printed : c.printed;
            std::vector<std::string> lines;
            std::istringstream out(r.out);
            for (std::string line; std::getline(out, line);) lines.push_back(line);
            lines.pop_back(); // the display
            std::size_t next = 0;
            for (const std::string& line : lines) {
                if (line.find_first_not_of(' ') == std::string::npos || line.find("·") != std::string::npos ||
                    line.find("E-----") != std::string::npos)
                    continue;
                ASSERT_LT(next, printed.size()) << where << ": more lines than expected\n" << r.out;
                const double want = printed[next++];
                if (std::isnan(want)) {
                    EXPECT_NE(line.find("ERROR"), std::string::npos) << where << "\n" << r.out;
                    continue;
                }
                const auto got = read(line);
                ASSERT_TRUE(got) << where << ": " << line;
                EXPECT_LE(std::abs(got->value - want), got->unit * 1.0001 + 1e-12 * std::abs(want))
                    << where << ": printed " << line << ", independently " << want << "\n"
                    << r.out;
            }
            EXPECT_EQ(next, printed.size()) << where << ": fewer lines than expected\n" << r.out;
            proven[model].insert(std::string(c.area) + "/" + std::to_string(c.program));
            ++played;
        }
    std::cout << "[ collection ] " << played << " runs: " << proven["410"].size() << " programs of the 410, "
              << proven["412"].size() << " of the 412\n";
    // Every program of every file has its cases, at least three.
    const std::string guide = slurp(fs::path(SOURCE_DIR) / "docs" / "Bedienungsanleitung.md");
    for (const std::string model : {"410", "412"}) {
        int programs = 0;
        for (const char* area : {"Mathematik", "Statistik", "Finanzen", "Technik", "Kalender"}) {
            const Result r = run({"--list", "--json", "--model", model, "--library",
                                  "examples/" + model + "/" + area + ".txt"});
            ASSERT_EQ(r.status, 0) << r.err;
            const auto count = static_cast<int>(std::count(r.out.begin(), r.out.end(), '{'));
            std::size_t fine = 0;
            for (std::size_t at = 0; (at = r.out.find("\"error\": null", at)) != std::string::npos; ++at)
                ++fine;
            EXPECT_EQ(fine, static_cast<std::size_t>(count)) << area << r.out;
            // The guide's chapter describes each one (tools/collection_guide.py writes it).
            const std::regex name("\"name\": \"([^\"]*)\"");
            for (std::sregex_iterator m(r.out.begin(), r.out.end(), name), end; m != end; ++m)
                EXPECT_NE(guide.find("\n#### " + (*m)[1].str()), std::string::npos)
                    << (*m)[1] << " is not in the guide";
            for (int n = 1; n <= count; ++n) {
                const std::string key = std::string(area) + "/" + std::to_string(n);
                EXPECT_TRUE(proven[model].count(key)) << model << " " << key << " has no case";
                int n_cases = 0;
                for (const Case& c : cases)
                    n_cases += c.area == std::string(area) && c.program == n &&
                               std::string(c.models).find(model) != std::string::npos;
                EXPECT_GE(n_cases, 3) << model << " " << key;
            }
            programs += count;
        }
        EXPECT_GE(programs, 30) << model;
    }
}
