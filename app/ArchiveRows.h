#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/TextSearch.h"
#include "platform/ui/ListSource.h"
#include "records/ArchiveCls.h"

namespace vexa {

// The archive as the rows of the archive list: a row for each slot that holds a record, its
// texts the record's document number, surname, first name and birth number read where the
// archive keeps them, its tag the slot and its key "x" and the document number.
class ArchiveRows : public ListSource {
  public:
    static constexpr int kColumns = 4;
    static constexpr int kBirthNumberColumn = 3;

    explicit ArchiveRows(const ArchiveCls& archive) : m_archive(archive) {}

    // A key must not start with a digit, so every key gets a letter in front.
    static std::string RowKey(std::string_view cisloPasu) { return "x" + std::string(cisloPasu); }

    int Ids() const override { return m_archive.Pocet(); }
    bool Alive(int id) const override { return m_archive.Holds(id); }
    // The columns are the record's first four fields, in their order.
    std::string_view Text(int id, int column) const override {
        return column < kColumns ? m_archive.Field(id, column) : std::string_view();
    }
    std::string Key(int id) const override { return RowKey(m_archive.Field(id, 0)); }
    long long Tag(int id) const override { return id; }

    // Whether the row may be one `search` finds: the initials of its words (kept, so that a key
    // in the search box over a million rows reads the texts of only the rows that may match).
    bool MayMatch(int id, const TextSearch& search) {
        const auto i = static_cast<std::size_t>(id);
        if (i >= m_initials.size())
            m_initials.resize(static_cast<std::size_t>(m_archive.Pocet()), TextSearch::kUnknown);
        std::uint32_t& mask = m_initials[i];
        if (mask == TextSearch::kUnknown)
            mask = TextSearch::InitialsOf(kColumns, [&](int c) { return Text(id, c); });
        return (mask & search.Needed()) == search.Needed();
    }
    bool Matches(int id, const TextSearch& search) {
        return MayMatch(id, search) &&
               search.Matches(
                   kColumns, [&](int c) { return Text(id, c); }, kBirthNumberColumn, '/');
    }
    // The row's texts changed.
    void Forget(int id) {
        if (static_cast<std::size_t>(id) < m_initials.size())
            m_initials[static_cast<std::size_t>(id)] = TextSearch::kUnknown;
    }
    // Every row's initials made now, at start, so that the first key is as quick as the others.
    void Prepare() {
        const TextSearch none("");
        for (int id = 0; id < Ids(); ++id) {
            if (Alive(id))
                MayMatch(id, none);
        }
    }

  private:
    const ArchiveCls& m_archive;
    std::vector<std::uint32_t> m_initials;  // by slot
};

}  // namespace vexa
