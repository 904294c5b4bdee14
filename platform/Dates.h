#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Calendar dates exchanged as "dd.mm.yyyy" text.
class Dates {
  public:
    using Date = std::chrono::year_month_day;

    // Today's date in the local time zone.
    static Date Today();
    // Reads "d.m.yyyy" or "dd.mm.yyyy" (one or two digits for day and month, four for the
    // year, nothing else around them). Nothing unless it is a real calendar date.
    static std::optional<Date> Parse(std::string_view text);
    // Two-digit day, two-digit month, four-digit year, dots.
    static std::string Format(const Date& date);
    static Date AddDays(const Date& date, long days);
    // A real calendar date from numbers, or nothing.
    static std::optional<Date> Make(int year, unsigned month, unsigned day);
};

}  // namespace vexa
