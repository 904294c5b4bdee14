#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dates.h"
#include "platform/Numbers.h"

namespace vexa {

class ClientsDataCls;

// One row of the children dialog's list: its key and the child's three texts.
struct DetiRow {
    std::string Key;
    std::string Jmeno;  // "first name surname"
    std::string rok;    // birth date, dd.mm.yyyy
    std::string sex;
};

// The rules of the children dialog that need no window: the row keys, the order in which the
// rows are written back into the record, and when an entry field counts as acceptable.
//
// The keys decide the order of the children in the record: a child loaded from the record has
// "a" and its birth date as yyyymmdd, a child added in the dialog its first name and birth
// date; the record receives the children in ascending key order, comparing byte by byte. So
// the loaded children keep birth-date order among themselves, and an added child whose first
// name starts with a capital or a digit comes before them.
class DetiRules {
  public:
    // The list holds any number of loaded children, but no child is added beyond this many.
    static constexpr int kMaxRows = 20;

    // A birth-date text "dd.mm.yyyy" (or "d.m.yyyy") as yyyymmdd, which sorts as the dates
    // do; the text as it stands when it is no date (a hand-edited archive).
    static std::string DateOrder(std::string_view rok);
    // "a" and DateOrder of the birth date.
    static std::string LoadedKey(std::string_view rok) { return "a" + DateOrder(rok); }
    // The first name as typed and the birth date as yyyymmdd.
    static std::string AddedKey(std::string_view jmeno, const Dates::Date& born);
    // `key` itself when no row has it; otherwise the key, a NUL byte and a three-digit number
    // above those of the same key already given out. NUL sorts below every character a key can
    // hold, so a repeated key stays where its plain key sorts, right after it, and repeats sort
    // in the order they were made.
    static std::string UniqueKey(const std::string& key, std::span<const std::string> keys);
    // The keys in ascending order, byte by byte (letter case counts, capitals and digits come
    // before small letters, and the accented letters after all of them).
    static std::vector<std::string> GetSortedKeys(std::vector<std::string> keys);
    // Replaces the record's children by the rows, in ascending key order. Every row is written.
    static void StoreChildren(ClientsDataCls& record, std::span<const DetiRow> rows);

    // The birth date from day, month and year as typed: one or two digits each for day and
    // month, four for the year, a real calendar date. Nothing otherwise.
    static std::optional<Dates::Date> BirthDate(std::string_view den, std::string_view mesic,
                                                std::string_view rok);
    // Whether the list's whole-word look-up of a first name finds a row by its text "first
    // name surname": the text is the first name, or starts with it and a blank; letter case
    // does not count.
    static bool FoundByName(std::string_view rowText, std::string_view jmeno);

    // Field checks. A name is acceptable when not empty.
    static bool NameValid(std::string_view text) { return !text.empty(); }
    // A sex chosen from the list: exactly "M" or "F".
    static bool SexChosen(std::string_view text) { return text == "M" || text == "F"; }
    // A sex left typed (already upper case): equal to one of the items, looked at from the
    // first up to the first empty one.
    static bool SexIsItem(std::string_view text, std::span<const std::string> items);
    // Day and month: nothing when the text is empty or not a number (the entry stays as it
    // was); else whether its value is at most 31 or 12. No lower bound.
    static std::optional<bool> DayValid(std::string_view text, const LocaleDecimal& decimal);
    static std::optional<bool> MonthValid(std::string_view text, const LocaleDecimal& decimal);
    // Year: a number, of any value.
    static bool YearValid(std::string_view text, const LocaleDecimal& decimal);

  private:
    static std::optional<bool> AtMost(std::string_view text, double limit,
                                      const LocaleDecimal& decimal);
};

}  // namespace vexa
