#pragma once

#include <string>
#include <string_view>

#include "platform/Dates.h"

namespace vexa {

// Birth-number (rodné číslo) checks and conversions and other small shared routines.
//
// A birth number is a six-digit date part YYMMDD and a rest of three digits (numbers of people
// born before 1954) or four characters whose last is the check character. The month carries an
// offset: +50 for women; ten-character numbers may also carry +20 (men) or +70 (women), given
// out since 2004 when a day's numbers ran out.
class Misc {
  public:
    // The date part with any month offset removed (third character reduced to 0 or 1).
    static std::string NormalizeBirthDatePart(std::string_view datePart);
    // True when the date part is six digits and, with the offset removed, names a real day of
    // the year 19YY or 20YY.
    static bool IsValidBirthDatePart(std::string_view datePart);
    // The birth date "dd.mm.yyyy" of a birth number "YYMMDD/rest"; "" when none can be derived
    // (no "/", not a real calendar date).
    static std::string GetBirthDateFromRC(std::string_view rc);
    // Checks a birth number given as its date part and rest: digits only, the check digit
    // (ten characters) or the year rule (nine characters), a real birth date not after today.
    static bool IsValidRC(std::string_view datePart, std::string_view rest,
                          const Dates::Date& today = Dates::Today());
    // True for a man: third character 0 to 3 (or missing or not a digit); false for 5 to 8.
    static bool IsMaleRC(std::string_view rcOrDatePart);
    static bool IsEmptyText(std::string_view text) { return text.empty(); }
    // The expiry date "dd.mm.yyyy" of a document issued on `issueDate` ("dd.mm.yyyy") and
    // valid for `validityPeriod` days (a setting's text that starts with a whole or decimal
    // number, rounded halves to even). "" when the issue date is no date, the period does not
    // start with a number, or the expiry would fall outside the years 1 to 9999.
    static std::string ExpiryDate(std::string_view issueDate, std::string_view validityPeriod);
};

}  // namespace vexa
