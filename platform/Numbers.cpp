#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale>

namespace vexa {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads sign, digits, one decimal separator and more digits from `pos`; the number text goes
// to `out` with "." as the decimal point. Returns how many digits were seen.
int ScanDecimal(std::string_view s, std::size_t& pos, char separator, std::string& out) {
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
        out += s[pos++];
    int digits = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        out += s[pos++];
        ++digits;
    }
    if (pos < s.size() && s[pos] == separator) {
        out += '.';
        ++pos;
        while (pos < s.size() && IsDigit(s[pos])) {
            out += s[pos++];
            ++digits;
        }
    }
    return digits;
}

// The text uses "." as its decimal point whatever LC_NUMERIC says (Qt sets the C library's
// locale from the environment), so strtod is no use here.
double ToDouble(const std::string& text) {
    const char* first = text.data();
    if (*first == '+')
        ++first;
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), v);
    if (ec == std::errc::result_out_of_range)
        return std::numeric_limits<double>::infinity();
    return v;
}

}  // namespace

double Numbers::LeadingNumber(std::string_view text) {
    return ReadLeadingNumber(text).value_or(0.0);
}

std::optional<double> Numbers::ReadLeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    std::string number;
    if (ScanDecimal(text, pos, '.', number) == 0)
        return std::nullopt;
    // An exponent counts only when digits follow it.
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t p = pos + 1;
        std::string exp = "e";
        if (p < text.size() && (text[p] == '+' || text[p] == '-'))
            exp += text[p++];
        if (p < text.size() && IsDigit(text[p])) {
            while (p < text.size() && IsDigit(text[p]))
                exp += text[p++];
            number += exp;
        }
    }
    double v = ToDouble(number);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> Numbers::RoundToInt(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double r = std::nearbyint(value);  // the default rounding mode: halves to even
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(r);
}

std::optional<std::int16_t> Numbers::RoundToInt16(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    double r = std::nearbyint(value);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

LocaleDecimal LocaleDecimal::FromUserLocale() {
    try {
        std::locale user("");
        char sep = std::use_facet<std::numpunct<char>>(user).decimal_point();
        return LocaleDecimal(sep);
    } catch (...) {
        return LocaleDecimal('.');
    }
}

std::optional<double> LocaleDecimal::Parse(std::string_view text) const {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    std::string number;
    if (ScanDecimal(text, pos, m_separator, number) == 0)
        return std::nullopt;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    double v = ToDouble(number);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string LocaleDecimal::Format(double value, int maxDecimals) const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", maxDecimals, value);
    std::string s = buf;
    // snprintf also follows LC_NUMERIC: accept either point and write our own separator.
    auto dot = s.find_first_of(".,");
    if (dot != std::string::npos) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (s.back() == '.' || s.back() == ',')
            s.pop_back();
        dot = s.find_first_of(".,");
        if (dot != std::string::npos)
            s[dot] = m_separator;
    }
    if (s == "-0")
        s = "0";
    return s;
}

}  // namespace vexa
