#pragma once

#include <string>
#include <string_view>

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

  private:
    const ArchiveCls& m_archive;
};

}  // namespace vexa
