#include "printing/PageInterpreter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "platform/Cp1250.h"
#include "printing/PrintMessages.h"

namespace vexa {

namespace {

using Kind = StreamProblem::Kind;

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kDc4 = 0x14;
constexpr unsigned char kEm = 0x19;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kFf = 0x0C;
constexpr unsigned char kCr = 0x0D;

// Every job begins with these 25 bytes: the printer's two set-up sequences, letter quality,
// the sans-serif typeface, the left margin at column 0 and a line spacing of 90/360 inch.
constexpr std::string_view kInitSeries{
    "\x14\x14\x1BY\x01\x14\x14\x1BS\x02\x1BR\x00\x1Bx\x01\x1Bk\x01\x1Bl\x00\x1B+\x5A", 25};

// The largest position a command can set (the printer ignores anything above).
constexpr int kMaxPosition = 32767;
// Movement by text and line feeds stops growing here, far beyond any sheet.
constexpr int kFar = 1 << 30;

// The characters of ISO 8859-2 from A0 to FF.
constexpr std::array<char32_t, 96> kLatin2{
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E, 0x0164,
    0x0179, 0x00AD, 0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7,
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102,
    0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170,
    0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3,
    0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

const std::array<unsigned char, 256>& Latin2ToCp1250() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<unsigned char>(b);
        }
        for (std::size_t i = 0; i < kLatin2.size(); ++i) {
            if (const auto byte = Cp1250::ByteOf(kLatin2[i])) {
                t[0xA0 + i] = *byte;
            }
        }
        return t;
    }();
    return table;
}

// The words of the problems in Windows-1250, converted once.
struct ProblemWords {
    std::string Byte = Cs("bajt ");
    std::string Empty = Cs("tisková data jsou prázdná (0 bajtů)");
    std::string UnknownSequence = Cs("neznámá sekvence ");
    std::string UnknownControl = Cs("neznámý řídicí znak ");
    std::string NotPrintable = Cs(" není v Latin-2 tisknutelný znak");
    std::string Truncated = Cs("tisková data končí uprostřed sekvence ");
    std::string ControlByte = Cs("řídicí znak ");
    std::string InsideReversed = Cs(" uvnitř obráceného textu z bajtu ");
    std::string ReversedOpen = Cs("obrácený text nemá konec (19)");
    std::string ReversedEnd = Cs("konec obráceného textu (19) bez jeho začátku");
    std::string NotEjected = Cs("tisková data končí bez vysunutí listu (0C)");
};

const ProblemWords& Words() {
    static const ProblemWords words;
    return words;
}

std::string Hex(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        if (!out.empty()) {
            out += ' ';
        }
        out += digits;
    }
    return out;
}

// "ESC ( V" for the start of an escape sequence: ESC and its printable command bytes.
std::string EscName(std::string_view bytes) {
    std::string name = "ESC";
    for (std::size_t i = 1; i < bytes.size() && i < 3; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x21 || c > 0x7E) {
            break;
        }
        name += ' ';
        name += static_cast<char>(c);
        if (c != '(') {
            break;
        }
    }
    return name;
}

int ColumnWidth(int pitch) {
    return pitch == 12 ? 5 : pitch == 15 ? 4 : 6;  // in 1/60 inch; the printer's own is 10 cpi
}

// One pass over the stream with the printer's state.
class Reader {
  public:
    explicit Reader(std::string_view in) : m_in(in) {}

    PrintedJob Run() {
        if (m_in.empty()) {
            Report(0, Kind::Empty, Words().Empty);
            return std::move(m_job);
        }
        std::size_t i = 0;
        while (i < m_in.size()) {
            const unsigned char c = Byte(i);
            m_pageStarted = true;
            if (PageInterpreter::IsPrintable(c)) {
                Print(i, c);
                ++i;
                continue;
            }
            m_inRun = false;
            if (m_reversedAt && c != kEm) {
                Report(i, Kind::Misplaced,
                       Words().ControlByte + Hex(m_in.substr(i, 1)) + Words().InsideReversed +
                           std::to_string(*m_reversedAt));
            }
            i += Step(i, c);
        }
        if (m_reversedAt) {
            Report(*m_reversedAt, Kind::Unfinished, Words().ReversedOpen);
        }
        if (m_pageStarted) {
            Report(m_in.size(), Kind::Unfinished, Words().NotEjected);
            m_job.Pages.push_back(std::move(m_page));
        }
        // An open reversed text is reported where it began, after what followed it.
        std::stable_sort(
            m_job.Problems.begin(), m_job.Problems.end(),
            [](const StreamProblem& a, const StreamProblem& b) { return a.Offset < b.Offset; });
        return std::move(m_job);
    }

  private:
    unsigned char Byte(std::size_t i) const { return static_cast<unsigned char>(m_in[i]); }
    // The byte at i, or -1 past the end.
    int At(std::size_t i) const { return i < m_in.size() ? Byte(i) : -1; }

    void Report(std::size_t offset, Kind kind, const std::string& what) {
        ++m_job.ProblemCount;
        if (m_job.Problems.size() < PageInterpreter::kKeptProblems) {
            std::string message =
                kind == Kind::Empty ? what : Words().Byte + std::to_string(offset) + ": " + what;
            m_job.Problems.push_back({offset, kind, std::move(message)});
        }
    }
    void Unknown(std::size_t i, std::size_t length) {
        const std::string_view bytes = m_in.substr(i, length);
        std::string what = Words().UnknownSequence + Hex(bytes);
        if (Byte(i) == kEsc) {
            what += " (" + EscName(bytes) + ")";
        }
        Report(i, Kind::Unknown, what);
    }
    // The stream ends inside the sequence starting at i.
    std::size_t Truncated(std::size_t i) {
        const std::string_view rest = m_in.substr(i);
        std::string what = Words().Truncated + Hex(rest);
        if (Byte(i) == kEsc) {
            what += " (" + EscName(rest) + ")";
        }
        Report(i, Kind::Truncated, what);
        return rest.size();
    }

    void Print(std::size_t i, unsigned char c) {
        if (!m_inRun) {
            TextRun run;
            run.Offset = i;
            run.Vert = m_vert;
            run.Horz = m_horz;
            run.Pitch = m_pitch;
            run.Reversed = m_reversedAt.has_value();
            m_page.Runs.push_back(std::move(run));
            m_inRun = true;
        }
        m_page.Runs.back().Text += static_cast<char>(Latin2ToCp1250()[c]);
        m_horz = std::min(m_horz + ColumnWidth(m_pitch), kFar);
    }

    // Carries out the command at i (not a printable byte); returns how many bytes it took.
    std::size_t Step(std::size_t i, unsigned char c) {
        switch (c) {
            case kEsc:
                return Escape(i);
            case kDc4:
                return DeviceSequence(i);
            case kCr:
                m_horz = m_margin;
                return 1;
            case kLf:
                m_vert = std::min(m_vert + m_lineSpacing, kFar);
                m_horz = m_margin;
                return 1;
            case kFf:
                EjectSheet();
                return 1;
            case kEm:
                if (m_reversedAt) {
                    m_reversedAt.reset();
                } else {
                    Report(i, Kind::Unknown, Words().ReversedEnd);
                }
                return 1;
            default:
                Report(i, Kind::Unknown,
                       c < 0x20 ? Words().UnknownControl + Hex(m_in.substr(i, 1))
                                : Hex(m_in.substr(i, 1)) + Words().NotPrintable);
                return 1;
        }
    }

    void EjectSheet() {
        m_reversedAt.reset();  // already reported as misplaced
        m_page.Ejected = true;
        m_job.Pages.push_back(std::move(m_page));
        m_page = PrintedPage();
        m_pageStarted = false;
        m_vert = 0;
        m_horz = m_margin;
    }

    std::size_t Escape(std::size_t i) {
        const int command = At(i + 1);
        if (command < 0) {
            return Truncated(i);
        }
        switch (command) {
            case 'P':
            case 'M':
            case 'g':
                m_pitch = command == 'P' ? 10 : command == 'M' ? 12 : 15;
                return 2;
            case '(':
                return Extended(i);
            case '$': {
                if (At(i + 3) < 0) {
                    return Truncated(i);
                }
                const int position = At(i + 2) + 256 * At(i + 3);
                if (position > kMaxPosition) {
                    Unknown(i, 4);
                } else {
                    m_horz = m_margin + position;
                }
                return 4;
            }
            case '+':
            case 'l':
            case 'x':
            case 'k':
            case 'R': {
                const int n = At(i + 2);
                if (n < 0) {
                    return Truncated(i);
                }
                if (command == '+') {
                    m_lineSpacing = n;
                } else if (command == 'l') {
                    m_margin = n * ColumnWidth(m_pitch);
                } else if ((command == 'x' && n != 0 && n != 1 && n != '0' && n != '1') ||
                           (command == 'R' && n != 0)) {
                    Unknown(i, 3);  // another quality or national character set: not ours
                }
                return 3;
            }
            default:
                Unknown(i, 2);
                return 2;
        }
    }

    // ESC ( c nL nH and n bytes of data; this program sends only ESC ( V 2 0 mL mH.
    std::size_t Extended(std::size_t i) {
        if (At(i + 4) < 0) {
            return Truncated(i);
        }
        const std::size_t count = static_cast<std::size_t>(At(i + 3) + 256 * At(i + 4));
        const std::size_t length = 5 + count;
        if (i + length > m_in.size()) {
            return Truncated(i);
        }
        if (At(i + 2) != 'V' || count != 2) {
            Unknown(i, length);
            return length;
        }
        const int position = At(i + 5) + 256 * At(i + 6);
        if (position > kMaxPosition) {
            Unknown(i, length);
        } else {
            m_vert = position;
        }
        return length;
    }

    // DC4 DC4 ESC c n: the printer's own sequences.
    std::size_t DeviceSequence(std::size_t i) {
        if (m_in.substr(i, kInitSeries.size()) == kInitSeries) {
            m_margin = 0;
            m_lineSpacing = 90;
            return kInitSeries.size();
        }
        constexpr int kPrefix[] = {kDc4, kDc4, kEsc};
        for (std::size_t k = 1; k < 3; ++k) {
            const int b = At(i + k);
            if (b < 0) {
                return Truncated(i);
            }
            if (b != kPrefix[k]) {
                Report(i, Kind::Unknown, Words().UnknownControl + "14");
                return 1;
            }
        }
        if (At(i + 4) < 0) {
            return Truncated(i);
        }
        const int command = At(i + 3);
        const int n = At(i + 4);
        if (command == 'R' && n == 3) {
            m_reversedAt = i;  // one inside another was reported as misplaced
        } else if (!((command == 'Y' && n == 1) || (command == 'S' && n == 2))) {
            Unknown(i, 5);
        }
        return 5;
    }

    std::string_view m_in;
    PrintedJob m_job;
    PrintedPage m_page;
    bool m_pageStarted = false;
    bool m_inRun = false;
    int m_vert = 0;
    int m_horz = 0;
    int m_margin = 0;
    int m_lineSpacing = 60;
    int m_pitch = 0;
    std::optional<std::size_t> m_reversedAt;
};

}  // namespace

PrintedJob PageInterpreter::Read(std::string_view bytes) {
    return Reader(bytes).Run();
}

std::string PageInterpreter::FromLatin2(std::string_view latin2) {
    const auto& table = Latin2ToCp1250();
    std::string out(latin2);
    for (char& c : out) {
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    }
    return out;
}

bool PageInterpreter::IsPrintable(unsigned char byte) {
    return (byte >= 0x20 && byte < 0x7F) || byte >= 0xA0;
}

}  // namespace vexa
