#include "platform/Dates.h"

#include <cstdio>
#include <ctime>

namespace vexa {

using namespace std::chrono;

Dates::Date Dates::Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
           day{static_cast<unsigned>(local.tm_mday)};
}

std::optional<Dates::Date> Dates::Make(int y, unsigned m, unsigned d) {
    Date date{year{y}, month{m}, day{d}};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::optional<Dates::Date> Dates::Parse(std::string_view text) {
    // Reads one run of digits of min..max length followed by `end` (or the end of the text).
    std::size_t pos = 0;
    auto field = [&](std::size_t minLen, std::size_t maxLen, char end) -> std::optional<int> {
        int value = 0;
        std::size_t len = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            if (++len > maxLen)
                return std::nullopt;
        }
        if (len < minLen)
            return std::nullopt;
        if (end != '\0') {
            if (pos >= text.size() || text[pos] != end)
                return std::nullopt;
            ++pos;
        }
        return value;
    };
    auto d = field(1, 2, '.');
    if (!d)
        return std::nullopt;
    auto m = field(1, 2, '.');
    if (!m)
        return std::nullopt;
    auto y = field(4, 4, '\0');
    if (!y || pos != text.size())
        return std::nullopt;
    return Make(*y, static_cast<unsigned>(*m), static_cast<unsigned>(*d));
}

std::string Dates::Format(const Date& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return buf;
}

Dates::Date Dates::AddDays(const Date& date, long days) {
    return Date{sys_days{date} + std::chrono::days{days}};
}

}  // namespace vexa
