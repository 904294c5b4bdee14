#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// One child of a holder.
struct DetiItem {
    std::string Jmeno;  // "first name surname"
    std::string rok;    // birth date, dd.mm.yyyy
    std::string sex;    // "M" or "F"
};

// The record of one document holder: eight texts and up to 255 children. Its line form (the
// fields and then each child's three values, separated by ";") is the archive file's record
// format and what two records are compared by.
class ClientsDataCls {
  public:
    static constexpr int kMaxChildren = 255;
    static constexpr char kSeparator = ';';

    std::string CisloPasu;      // document number
    std::string Prijmeni;       // surname
    std::string Jmeno;          // first name
    std::string rc;             // birth number, date part "/" rest
    std::string MistoNarozeni;  // place of birth
    std::string DatumVydani;    // issue date
    std::string Platnost;       // expiry date
    std::string Vydavatel;      // issuing authority

    int PocetDeti() const { return nDeti; }
    // Appends a child. A record already holding 255 children refuses it and returns false.
    bool DetiAdd(std::string_view jmeno, std::string_view rok, std::string_view sex);
    // The child's name, birth date and sex at positions 0, 1 and 2; index 0..PocetDeti()-1.
    std::array<std::string, 3> DetiGet(int index) const;
    const DetiItem& Child(int index) const { return Deti[static_cast<std::size_t>(index)]; }

    // Fills the record from a line form. Missing fields stay empty; a trailing incomplete
    // child group is completed with empty values. Children are appended to those the record
    // has. Returns false when children had to be dropped because the record is full.
    bool LoadFromLine(std::string_view line);
    std::string GetDataAsLine() const;
    // Appends the line form to `out` (no line end).
    void AppendDataAsLine(std::string& out) const;
    // True when the two line forms are equal, byte for byte.
    bool Comp(const ClientsDataCls& other) const;
    void Clear();
    void ClearDeti();

  private:
    // The eight fields in line-form order.
    std::array<std::string*, 8> Fields() {
        return {&CisloPasu,     &Prijmeni,    &Jmeno,    &rc,
                &MistoNarozeni, &DatumVydani, &Platnost, &Vydavatel};
    }
    std::array<const std::string*, 8> Fields() const {
        return {&CisloPasu,     &Prijmeni,    &Jmeno,    &rc,
                &MistoNarozeni, &DatumVydani, &Platnost, &Vydavatel};
    }

    std::uint8_t nDeti = 0;
    std::vector<DetiItem> Deti;
};

}  // namespace vexa
