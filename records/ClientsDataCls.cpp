#include "records/ClientsDataCls.h"

#include <algorithm>
#include <cstring>

namespace vexa {
namespace {

// Splits at every separator; an empty line gives one empty part.
template <typename F>
void ForEachPart(std::string_view line, F&& part) {
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = line.find(ClientsDataCls::kSeparator, pos);
        if (end == std::string_view::npos) {
            part(line.substr(pos));
            return;
        }
        part(line.substr(pos, end - pos));
        pos = end + 1;
    }
}

}  // namespace

bool ClientsDataCls::DetiAdd(std::string_view jmeno, std::string_view rok, std::string_view sex) {
    if (nDeti >= kMaxChildren)
        return false;
    Deti.push_back({std::string(jmeno), std::string(rok), std::string(sex)});
    ++nDeti;
    return true;
}

std::array<std::string, 3> ClientsDataCls::DetiGet(int index) const {
    const DetiItem& d = Child(index);
    return {d.Jmeno, d.rok, d.sex};
}

bool ClientsDataCls::LoadFromLine(std::string_view line) {
    // Room for every child of the line at once.
    const auto parts =
        static_cast<std::size_t>(std::count(line.begin(), line.end(), kSeparator)) + 1;
    if (parts > 8)
        Deti.reserve(Deti.size() + std::min<std::size_t>((parts - 8 + 2) / 3, kMaxChildren));
    auto fields = Fields();
    std::size_t index = 0;
    std::string_view child[3];
    bool allKept = true;
    ForEachPart(line, [&](std::string_view part) {
        if (index < 8) {
            fields[index]->assign(part);
        } else {
            std::size_t k = (index - 8) % 3;
            child[k] = part;
            if (k == 2)
                allKept &= DetiAdd(child[0], child[1], child[2]);
        }
        ++index;
    });
    // A line cut short inside a child group still keeps what it has.
    if (index > 8 && (index - 8) % 3 != 0) {
        std::size_t have = (index - 8) % 3;
        allKept &= DetiAdd(child[0], have > 1 ? child[1] : std::string_view(), std::string_view());
    }
    // With fewer than eight values the missing fields are left as they were (empty in a new
    // record).
    return allKept;
}

void ClientsDataCls::AppendDataAsLine(std::string& out) const {
    // Sized once and filled with memcpy: the archive writes 100,000 of these in one save.
    auto fields = Fields();
    std::size_t length = fields.size() - 1;
    for (const std::string* f : fields)
        length += f->size();
    for (const DetiItem& d : Deti)
        length += 3 + d.Jmeno.size() + d.rok.size() + d.sex.size();
    std::size_t at = out.size();
    out.resize(at + length);
    char* p = out.data() + at;
    auto put = [&p](const std::string& s) {
        std::memcpy(p, s.data(), s.size());
        p += s.size();
    };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *p++ = kSeparator;
        put(*fields[i]);
    }
    for (const DetiItem& d : Deti) {
        *p++ = kSeparator;
        put(d.Jmeno);
        *p++ = kSeparator;
        put(d.rok);
        *p++ = kSeparator;
        put(d.sex);
    }
}

std::string ClientsDataCls::GetDataAsLine() const {
    std::string line;
    AppendDataAsLine(line);
    return line;
}

bool ClientsDataCls::Comp(const ClientsDataCls& other) const {
    return GetDataAsLine() == other.GetDataAsLine();
}

void ClientsDataCls::Clear() {
    for (std::string* f : Fields())
        f->clear();
    ClearDeti();
}

void ClientsDataCls::ClearDeti() {
    Deti.clear();
    nDeti = 0;
}

}  // namespace vexa
