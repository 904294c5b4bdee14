#pragma once

// Archives shaped like a real office's, for the benchmarks: every holder has a document number
// of its own, surnames are made of stems, middles and endings (tens of thousands of distinct
// ones, in the male or female form), first names come from a long list (some of them double),
// birth numbers are real-looking and nearly all distinct, and most texts carry Czech letters.
// About half of the holders have children (one to three), whose names and dates vary too.
// Holder i is the same in every run and every program, so a benchmark can look up or add
// holders it knows without reading the file back.

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Cp1250.h"
#include "records/ClientsDataCls.h"

namespace vexa::bench {

class BenchArchive {
  public:
    // The document number of holder i: eight digits, distinct for every i below 90 million.
    static std::string DocumentNumber(std::uint64_t i) {
        char text[48];
        std::snprintf(text, sizeof text, "%08llu",
                      static_cast<unsigned long long>(10000000u + (i * 2654435761u) % 90000000u));
        return text;
    }

    // The line form of holder i (no line end), in Windows-1250.
    static std::string Line(std::uint64_t i) {
        const Texts& t = TheTexts();
        Random r(i);
        const bool woman = r.Below(2) == 1;
        const auto surname = Surname(t, r);
        std::string line = DocumentNumber(i);
        line += ';';
        line += surname[woman ? 1 : 0];
        line += ';';
        line += FirstName(t, r, woman);
        line += ';';
        // Born 1930..2023, the month 50 more for a woman; three digits after the slash before
        // 1954, four digits divisible by 11 from then on.
        const int year = 1930 + static_cast<int>(r.Below(94));
        const int month = 1 + static_cast<int>(r.Below(12));
        const int day = 1 + static_cast<int>(r.Below(28));
        char rc[48];
        const int mm = month + (woman ? 50 : 0);
        const int serial = static_cast<int>(r.Below(1000));
        if (year < 1954) {
            std::snprintf(rc, sizeof rc, "%02d%02d%02d/%03d", year % 100, mm, day, serial);
        } else {
            const long long nine = ((year % 100) * 10000LL + mm * 100 + day) * 1000 + serial;
            std::snprintf(rc, sizeof rc, "%02d%02d%02d/%03d%d", year % 100, mm, day, serial,
                          static_cast<int>(nine % 11 % 10));
        }
        line += rc;
        line += ';';
        line += t.places[r.Below(t.places.size())];
        line += ';';
        const int issued = 2010 + static_cast<int>(r.Below(16));
        const std::string issueDay =
            Date(1 + static_cast<int>(r.Below(28)), 1 + static_cast<int>(r.Below(12)), issued);
        line += issueDay;
        line += ';';
        line += issueDay.substr(0, 6) + std::to_string(issued + 10);
        line += ';';
        line += t.office;
        line += t.places[r.Below(t.places.size())];
        // About half without children, then one, two or three.
        const std::uint64_t roll = r.Below(20);
        const int children = roll < 9 ? 0 : roll < 13 ? 1 : roll < 18 ? 2 : 3;
        const auto family = Surname(t, r);
        for (int k = 0; k < children; ++k) {
            const bool girl = r.Below(2) == 1;
            line += ';';
            line += FirstName(t, r, girl);
            line += ' ';
            line += family[girl ? 1 : 0];
            line += ';';
            line += Date(1 + static_cast<int>(r.Below(28)), 1 + static_cast<int>(r.Below(12)),
                         2005 + static_cast<int>(r.Below(20)));
            line += girl ? ";F" : ";M";
        }
        return line;
    }

    static ClientsDataCls Holder(std::uint64_t i) {
        ClientsDataCls r;
        r.LoadFromLine(Line(i));
        return r;
    }

    // Writes Archive.db with holders 0..count-1 (CR LF after each line), a piece at a time so
    // that making the file costs the benchmark no memory; returns its size, or -1.
    static long long Write(const std::string& path, std::uint64_t count) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr)
            return -1;
        std::string piece;
        long long size = 0;
        bool ok = true;
        for (std::uint64_t i = 0; i < count && ok; ++i) {
            piece += Line(i);
            piece += "\r\n";
            if (piece.size() >= (1u << 20) || i + 1 == count) {
                ok = std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
                size += static_cast<long long>(piece.size());
                piece.clear();
            }
        }
        ok = std::fclose(f) == 0 && ok;
        return ok ? size : -1;
    }

  private:
    // splitmix64, seeded by the holder's number.
    class Random {
      public:
        explicit Random(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x1234567) {}
        std::uint64_t Next() {
            std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            return z ^ (z >> 31);
        }
        std::uint64_t Below(std::uint64_t n) { return Next() % n; }

      private:
        std::uint64_t m_state;
    };

    struct Texts {
        std::vector<std::string> stems, middles, places, men, women;
        std::vector<std::array<std::string, 2>> endings;  // male, female
        std::string office;
    };

    static std::vector<std::string> List(std::initializer_list<const char*> utf8) {
        std::vector<std::string> out;
        for (const char* s : utf8)
            out.push_back(Cs(s));
        return out;
    }

    static const Texts& TheTexts() {
        static const Texts texts = [] {
            Texts t;
            t.stems = List(
                {"NOV",   "DVOŘ",  "ČERN",  "PROCH", "KUČER",  "VESEL", "HOR",  "ŠŤASTN", "ŽÁČ",
                 "KŘIV",  "ŘEZN",  "SVOB",  "MAR",   "POKORN", "HÁJ",   "KRÁL", "BENEŠ",  "FIAL",
                 "SEDL",  "DOLEŽ", "ZEM",   "KOLÁŘ", "NAVR",   "ČERM",  "VANĚ", "URB",    "BLAŽ",
                 "KŘÍŽ",  "KOVÁŘ", "BART",  "VLČ",   "POL",    "MUS",   "ŠIM",  "KONEČN", "MAL",
                 "ČECH",  "ŠTĚP",  "HOLUB", "KADL",  "RŮŽ",    "BROŽ",  "ZAJ",  "KOP",    "VÁVR",
                 "JELÍN", "KRAT",  "BEDN",  "SÝKOR", "ŠEVČ",   "HRUB",  "PECH", "SOUK",   "MACH",
                 "KUBÍ",  "MAŠ",   "DUŠ",   "TICH",  "HAVL",   "LIŠ",   "ŘÍH",  "ŽIŽ",    "BÍL",
                 "HRDL",  "ŠAF",   "LÁB",   "ŇOUF",  "ĎURI",   "ŤUP",   "ÚLEH"});
            t.middles =
                List({"", "EN", "ÍČ", "OV", "AN", "ÁL", "ER", "OT", "UL", "IŠ", "ĚJ", "OŇ"});
            const std::pair<const char*, const char*> endings[] = {
                {"ÁK", "ÁKOVÁ"},    {"ÍK", "ÍKOVÁ"},  {"EC", "COVÁ"},     {"Ý", "Á"},
                {"SKÝ", "SKÁ"},     {"ICKÝ", "ICKÁ"}, {"NÝ", "NÁ"},       {"A", "OVÁ"},
                {"ÁŘ", "ÁŘOVÁ"},    {"ÍN", "ÍNOVÁ"},  {"OUŠ", "OUŠOVÁ"},  {"ÍČEK", "ÍČKOVÁ"},
                {"ÁČEK", "ÁČKOVÁ"}, {"EŠ", "EŠOVÁ"},  {"ÁL", "ÁLOVÁ"},    {"OTA", "OTOVÁ"},
                {"ÁČ", "ÁČOVÁ"},    {"AN", "ANOVÁ"},  {"ÁT", "ÁTOVÁ"},    {"ER", "EROVÁ"},
                {"ÍŘ", "ÍŘOVÁ"},    {"ECKÝ", "ECKÁ"}, {"OVSKÝ", "OVSKÁ"}, {"ÚŠ", "ÚŠOVÁ"},
                {"UL", "ULOVÁ"},    {"EL", "ELOVÁ"},  {"ĚK", "ĚKOVÁ"},    {"OCH", "OCHOVÁ"}};
            for (const auto& [male, female] : endings)
                t.endings.push_back({Cs(male), Cs(female)});
            t.men = List({"JAN",       "PETR",     "JIŘÍ",      "PAVEL",   "MARTIN",  "TOMÁŠ",
                          "JAROSLAV",  "MIROSLAV", "ZDENĚK",    "VÁCLAV",  "MICHAL",  "FRANTIŠEK",
                          "JOSEF",     "MILAN",    "LUKÁŠ",     "JAKUB",   "DAVID",   "ONDŘEJ",
                          "VOJTĚCH",   "MATĚJ",    "ŠTĚPÁN",    "RADEK",   "ROMAN",   "KAREL",
                          "LADISLAV",  "DANIEL",   "ADAM",      "FILIP",   "ANTONÍN", "VLADIMÍR",
                          "STANISLAV", "MAREK",    "LUBOMÍR",   "BOHUMIL", "OLDŘICH", "DUŠAN",
                          "IVO",       "BOŘIVOJ",  "KVĚTOSLAV", "RADIM",   "ŠIMON",   "VÍTĚZSLAV",
                          "ALEŠ",      "LIBOR",    "DOMINIK",   "KRYŠTOF", "ŽELIMÍR", "ČESTMÍR"});
            t.women = List({"MARIE",    "JANA",    "EVA",     "HANA",     "ANNA",   "LENKA",
                            "KATEŘINA", "VĚRA",    "LUCIE",   "ALENA",    "PETRA",  "JAROSLAVA",
                            "VERONIKA", "MARTINA", "TEREZA",  "MICHAELA", "JITKA",  "HELENA",
                            "LUDMILA",  "ZDEŇKA",  "IVANA",   "MONIKA",   "ELIŠKA", "ZUZANA",
                            "MARKÉTA",  "JARMILA", "BARBORA", "KRISTÝNA", "KLÁRA",  "DANA",
                            "ŠÁRKA",    "BOŽENA",  "RŮŽENA",  "DAGMAR",   "VLASTA", "NIKOLA",
                            "ADÉLA",    "ANETA",   "BLANKA",  "IRENA",    "RENATA", "PAVLA",
                            "SIMONA",   "MILENA",  "ŽANETA",  "ŠTĚPÁNKA", "KVĚTA",  "NATÁLIE"});
            t.places = List({"PRAHA",
                             "BRNO",
                             "OSTRAVA",
                             "PLZEŇ",
                             "LIBEREC",
                             "OLOMOUC",
                             "ČESKÉ BUDĚJOVICE",
                             "HRADEC KRÁLOVÉ",
                             "ÚSTÍ NAD LABEM",
                             "PARDUBICE",
                             "ZLÍN",
                             "HAVÍŘOV",
                             "KLADNO",
                             "MOST",
                             "OPAVA",
                             "FRÝDEK-MÍSTEK",
                             "KARVINÁ",
                             "JIHLAVA",
                             "TEPLICE",
                             "DĚČÍN",
                             "KARLOVY VARY",
                             "CHOMUTOV",
                             "JABLONEC NAD NISOU",
                             "MLADÁ BOLESLAV",
                             "PROSTĚJOV",
                             "PŘEROV",
                             "ČESKÁ LÍPA",
                             "TŘEBÍČ",
                             "TŘINEC",
                             "TÁBOR",
                             "ZNOJMO",
                             "PŘÍBRAM",
                             "KOLÍN",
                             "CHEB",
                             "PÍSEK",
                             "TRUTNOV",
                             "KROMĚŘÍŽ",
                             "ORLOVÁ",
                             "VSETÍN",
                             "ŠUMPERK",
                             "UHERSKÉ HRADIŠTĚ",
                             "BŘECLAV",
                             "HODONÍN",
                             "ČESKÝ TĚŠÍN",
                             "LITOMĚŘICE",
                             "NOVÝ JIČÍN",
                             "HAVLÍČKŮV BROD",
                             "CHRUDIM",
                             "LITVÍNOV",
                             "STRAKONICE",
                             "KOPŘIVNICE",
                             "ŽĎÁR NAD SÁZAVOU",
                             "KLATOVY",
                             "VYŠKOV",
                             "BLANSKO",
                             "NÁCHOD",
                             "JINDŘICHŮV HRADEC",
                             "ŽATEC",
                             "RAKOVNÍK",
                             "BENEŠOV",
                             "SOKOLOV",
                             "DOMAŽLICE"});
            // Villages: a qualifier and a name.
            for (const char* first : {"HORNÍ ", "DOLNÍ ", "NOVÁ ", "STARÁ ", "VELKÁ ", "MALÁ "}) {
                for (const char* second : {"LHOTA", "BUKOVINA", "ŘEPNICE", "ÚJEZDEC", "BĚLÁ",
                                           "LOUČNÁ", "RYBNÁ", "ČERMNÁ", "SKALICE", "ŽĎÁRNÁ"})
                    t.places.push_back(Cs(std::string(first) + second));
            }
            t.office = Cs("MěÚ ");
            return t;
        }();
        return texts;
    }

    // A surname in its male and female form.
    static std::array<std::string, 2> Surname(const Texts& t, Random& r) {
        const auto& ending = t.endings[r.Below(t.endings.size())];
        const std::string stem =
            t.stems[r.Below(t.stems.size())] + t.middles[r.Below(t.middles.size())];
        return {stem + ending[0], stem + ending[1]};
    }

    static std::string FirstName(const Texts& t, Random& r, bool woman) {
        const auto& names = woman ? t.women : t.men;
        std::string name = names[r.Below(names.size())];
        // One in ten has two first names.
        if (r.Below(10) == 0)
            name += ' ' + names[r.Below(names.size())];
        return name;
    }

    static std::string Date(int day, int month, int year) {
        char text[48];
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
        return text;
    }
};

}  // namespace vexa::bench
