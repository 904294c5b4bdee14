#include "children/DetiRules.h"

#include <algorithm>
#include <cstdio>

#include "platform/Cp1250.h"
#include "records/ClientsDataCls.h"

namespace vexa {

namespace {

constexpr char kRepeat = '\0';

std::string Yyyymmdd(const Dates::Date& date) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return buf;
}

}  // namespace

std::string DetiRules::DateOrder(std::string_view rok) {
    auto born = Dates::Parse(rok);
    return born ? Yyyymmdd(*born) : std::string(rok);
}

std::string DetiRules::AddedKey(std::string_view jmeno, const Dates::Date& born) {
    return std::string(jmeno) + Yyyymmdd(born);
}

std::string DetiRules::UniqueKey(const std::string& key, std::span<const std::string> keys) {
    // The plain key counts as number 0 of its repeats.
    int highest = -1;
    for (const std::string& k : keys) {
        if (k == key) {
            highest = std::max(highest, 0);
        } else if (k.size() == key.size() + 4 && k.starts_with(key) && k[key.size()] == kRepeat) {
            int number = 0;
            for (char c : std::string_view(k).substr(key.size() + 1))
                number = number * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
            highest = std::max(highest, number);
        }
    }
    if (highest < 0)
        return key;
    // A list holds at most 255 loaded and 20 added rows: three digits always do.
    char number[16];
    std::snprintf(number, sizeof number, "%03d", highest + 1);
    return key + kRepeat + number;
}

std::vector<std::string> DetiRules::GetSortedKeys(std::vector<std::string> keys) {
    // std::string compares its bytes as unsigned characters: the ordinal order.
    std::sort(keys.begin(), keys.end());
    return keys;
}

void DetiRules::StoreChildren(ClientsDataCls& record, std::span<const DetiRow> rows) {
    record.ClearDeti();
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const DetiRow& row : rows)
        keys.push_back(row.Key);
    // Each key takes the first row not yet written that has it, so even rows that shared a
    // key would all be written.
    std::vector<bool> written(rows.size(), false);
    for (const std::string& key : GetSortedKeys(std::move(keys))) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!written[i] && rows[i].Key == key) {
                written[i] = true;
                record.DetiAdd(rows[i].Jmeno, rows[i].rok, rows[i].sex);
                break;
            }
        }
    }
}

std::optional<Dates::Date> DetiRules::BirthDate(std::string_view den, std::string_view mesic,
                                                std::string_view rok) {
    std::string text;
    text.append(den).append(".").append(mesic).append(".").append(rok);
    return Dates::Parse(text);
}

bool DetiRules::FoundByName(std::string_view rowText, std::string_view jmeno) {
    const std::string row = Cp1250::ToUpper(rowText);
    const std::string name = Cp1250::ToUpper(jmeno);
    return row == name || (row.starts_with(name) && row[name.size()] == ' ');
}

bool DetiRules::SexIsItem(std::string_view text, std::span<const std::string> items) {
    for (const std::string& item : items) {
        if (item.empty())
            return false;
        if (item == text)
            return true;
    }
    return false;
}

std::optional<bool> DetiRules::AtMost(std::string_view text, double limit,
                                      const LocaleDecimal& decimal) {
    if (text.empty() || !decimal.Parse(text))
        return std::nullopt;
    return Numbers::LeadingNumber(text) <= limit;
}

std::optional<bool> DetiRules::DayValid(std::string_view text, const LocaleDecimal& decimal) {
    return AtMost(text, 31, decimal);
}

std::optional<bool> DetiRules::MonthValid(std::string_view text, const LocaleDecimal& decimal) {
    return AtMost(text, 12, decimal);
}

bool DetiRules::YearValid(std::string_view text, const LocaleDecimal& decimal) {
    return !text.empty() && decimal.Parse(text).has_value();
}

}  // namespace vexa
