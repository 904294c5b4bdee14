#include "records/DatabaseText.h"

#include <cstdio>

#include "platform/Cp1250.h"

namespace vexa {
namespace {

void AppendJsonString(std::string& out, std::string_view cp1250) {
    out += '"';
    for (char c : Cp1250::ToUtf8(cp1250)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            char escaped[7];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

}  // namespace

std::array<std::string, 8> DatabaseText::Fields(const ClientsDataCls& r) {
    return {Cp1250::ToUtf8(r.CisloPasu),     Cp1250::ToUtf8(r.Prijmeni),
            Cp1250::ToUtf8(r.Jmeno),         Cp1250::ToUtf8(r.rc),
            Cp1250::ToUtf8(r.MistoNarozeni), Cp1250::ToUtf8(r.DatumVydani),
            Cp1250::ToUtf8(r.Platnost),      Cp1250::ToUtf8(r.Vydavatel)};
}

std::string DatabaseText::ChildrenJson(const ClientsDataCls& record) {
    std::string json = "[";
    for (int i = 0; i < record.PocetDeti(); ++i) {
        const DetiItem& d = record.Child(i);
        json += i == 0 ? "{\"jmeno\":" : ",{\"jmeno\":";
        AppendJsonString(json, d.Jmeno);
        json += ",\"rok\":";
        AppendJsonString(json, d.rok);
        json += ",\"sex\":";
        AppendJsonString(json, d.sex);
        json += '}';
    }
    json += ']';
    return json;
}

bool DatabaseText::HasNul(const ClientsDataCls& record) {
    // Nowhere in the line form means nowhere in the record.
    return record.GetDataAsLine().find('\0') != std::string::npos;
}

void DatabaseText::AppendCopyValue(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace vexa
