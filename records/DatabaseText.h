#pragma once

#include <array>
#include <string>
#include <string_view>

#include "records/ClientsDataCls.h"

namespace vexa {

// A record's texts as the database holds them: UTF-8 columns and the children as a jsonb
// array of {"jmeno", "rok", "sex"}, in their order.
class DatabaseText {
  public:
    // The eight texts in line-form order, UTF-8.
    static std::array<std::string, 8> Fields(const ClientsDataCls& record);
    // The children as JSON text: [{"jmeno":"...","rok":"...","sex":"..."},...].
    static std::string ChildrenJson(const ClientsDataCls& record);
    // True when a text of the record holds a NUL byte, which no text in the database can.
    static bool HasNul(const ClientsDataCls& record);
    // Appends a text (UTF-8) as one value of a COPY row in text format.
    static void AppendCopyValue(std::string& out, std::string_view text);
};

}  // namespace vexa
