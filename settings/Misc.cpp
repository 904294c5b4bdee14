#include "settings/Misc.h"

#include <cstdint>
#include <cstdlib>

#include "platform/Numbers.h"

namespace vexa {
namespace {

bool AllDigits(std::string_view s) {
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int DigitAt(std::string_view s, std::size_t i) {
    return i < s.size() && s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : 0;
}

int TwoDigits(std::string_view s, std::size_t i) {
    return DigitAt(s, i) * 10 + DigitAt(s, i + 1);
}

// The birth date of a date part (offset removed or not) with the century rule: a three-digit
// rest means the 1900s; otherwise years 00..51 are 2000..2051 and 52..99 are 1952..1999.
std::optional<Dates::Date> BirthDate(std::string_view datePart, bool threeDigitRest) {
    if (datePart.size() != 6 || !AllDigits(datePart))
        return std::nullopt;
    std::string p = Misc::NormalizeBirthDatePart(datePart);
    int yy = TwoDigits(p, 0);
    int year = (threeDigitRest || yy > 51 ? 1900 : 2000) + yy;
    return Dates::Make(year, static_cast<unsigned>(TwoDigits(p, 2)),
                       static_cast<unsigned>(TwoDigits(p, 4)));
}

}  // namespace

std::string Misc::NormalizeBirthDatePart(std::string_view datePart) {
    std::string p(datePart);
    if (p.size() < 3)
        return p;
    // Month offsets: +20 men and +70 women (since 2004), +50 women. 2,3 / 5,6 / 7,8 become 0,1;
    // 4 and 9 stay out of range after the correction, as they should.
    int d = DigitAt(p, 2);
    if (d >= 7) {
        d -= 7;
    } else if (d >= 5) {
        d -= 5;
    } else if (d >= 2) {
        d -= 2;
    }
    if (p[2] >= '0' && p[2] <= '9')
        p[2] = static_cast<char>('0' + d);
    return p;
}

bool Misc::IsValidBirthDatePart(std::string_view datePart) {
    if (datePart.size() != 6 || !AllDigits(datePart))
        return false;
    std::string p = NormalizeBirthDatePart(datePart);
    int yy = TwoDigits(p, 0);
    auto month = static_cast<unsigned>(TwoDigits(p, 2));
    auto day = static_cast<unsigned>(TwoDigits(p, 4));
    return Dates::Make(1900 + yy, month, day) || Dates::Make(2000 + yy, month, day);
}

std::string Misc::GetBirthDateFromRC(std::string_view rc) {
    auto slash = rc.find('/');
    if (slash == std::string_view::npos)
        return {};
    auto date = BirthDate(rc.substr(0, slash), rc.size() - slash - 1 == 3);
    return date ? Dates::Format(*date) : std::string();
}

bool Misc::IsValidRC(std::string_view datePart, std::string_view rest, const Dates::Date& today) {
    if (datePart.size() != 6 || !AllDigits(datePart))
        return false;
    int third = datePart[2] - '0';
    if (rest.size() == 3) {
        // Numbers with a three-digit rest were given out before 1954 and know only the +50.
        if (!AllDigits(rest) || TwoDigits(datePart, 0) >= 54)
            return false;
        if (third != 0 && third != 1 && third != 5 && third != 6)
            return false;
    } else if (rest.size() == 4) {
        if (!AllDigits(rest.substr(0, 3)))
            return false;
        char c = rest[3];
        int check;
        if (c == 'A' || c == 'a') {
            check = 10;
        } else if (c >= '0' && c <= '9') {
            check = c - '0';
        } else {
            return false;
        }
        std::int64_t n = 0;
        for (char ch : std::string(datePart) + std::string(rest.substr(0, 3)))
            n = n * 10 + (ch - '0');
        int remainder = static_cast<int>(n % 11);
        // A remainder of 10 was written as check digit 0 (until 1985) or as "A".
        bool ok = remainder == check || (remainder == 10 && check == 0);
        if (!ok)
            return false;
    } else {
        return false;
    }
    if (!IsValidBirthDatePart(datePart))
        return false;
    auto born = BirthDate(datePart, rest.size() == 3);
    return born && *born <= today;
}

bool Misc::IsMaleRC(std::string_view rcOrDatePart) {
    return DigitAt(rcOrDatePart, 2) < 5;
}

}  // namespace vexa

namespace vexa {

std::string Misc::ExpiryDate(std::string_view issueDate, std::string_view validityPeriod) {
    // Beyond this many days either way no date of the years 1 to 9999 can be reached.
    constexpr int kLongestSpan = 3'652'058;  // 01.01.0001 to 31.12.9999
    const auto issued = Dates::Parse(issueDate);
    const auto period = Numbers::ReadLeadingNumber(validityPeriod);
    if (!issued || !period)
        return {};
    const auto days = Numbers::RoundToInt(*period);
    if (!days || std::abs(*days) > kLongestSpan)
        return {};
    const Dates::Date expiry = Dates::AddDays(*issued, *days);
    const int year = static_cast<int>(expiry.year());
    if (!expiry.ok() || year < 1 || year > 9999)
        return {};
    return Dates::Format(expiry);
}

}  // namespace vexa
