#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Number conversions shared by the settings, the window and the print jobs.
class Numbers {
  public:
    // The number at the start of a text: leading blanks skipped, an optional sign, digits with
    // "." as the decimal point, an optional exponent. 0 when the text does not start with a
    // number. This is how numeric settings are read from their text form.
    static double LeadingNumber(std::string_view text);
    // The same, but nothing when the text does not start with a number (or it is too large).
    static std::optional<double> ReadLeadingNumber(std::string_view text);

    // Rounds to the nearest integer, halves to even. Nothing when the result does not fit a
    // signed 16-bit integer (or the value is not a number).
    static std::optional<std::int16_t> RoundToInt16(double value);
    // The same without the 16-bit limit (still nothing for NaN or beyond the int range).
    static std::optional<int> RoundToInt(double value);
};

// Decimal numbers as the user reads and writes them: the decimal separator comes from the
// user's locale (a Czech user types 2,5). Tests construct it with a separator of their choice.
class LocaleDecimal {
  public:
    explicit LocaleDecimal(char separator) : m_separator(separator) {}
    // The separator of the user's numeric locale (LC_ALL, LC_NUMERIC, LANG), "." when none.
    static LocaleDecimal FromUserLocale();

    char Separator() const { return m_separator; }
    // The whole text as a number: optional blanks around it, an optional sign, digits with at
    // most one separator and at least one digit. Nothing otherwise.
    std::optional<double> Parse(std::string_view text) const;
    // Fixed notation with up to maxDecimals decimals, no trailing zeros, no "-0".
    std::string Format(double value, int maxDecimals = 6) const;

  private:
    char m_separator;
};

}  // namespace vexa
