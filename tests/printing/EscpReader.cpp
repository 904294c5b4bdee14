#include "printing/EscpReader.h"

#include <cstdio>

namespace vexa::test {

std::ostream& operator<<(std::ostream& out, const PlacedText& t) {
    return out << "{v=" << t.Vert << " h=" << t.Horz << " cpi=" << t.Pitch
               << (t.Wrapped ? " wrapped" : "") << " \"" << t.Text << "\"}";
}

std::vector<PlacedText> EscpPage::Printed() const {
    std::vector<PlacedText> out;
    for (const auto& t : Texts) {
        if (!t.Text.empty()) {
            out.push_back(t);
        }
    }
    return out;
}

PlacedText EscpPage::Find(std::string_view text) const {
    for (const auto& t : Texts) {
        if (t.Text == text) {
            return t;
        }
    }
    PlacedText missing;
    missing.Text = "<missing>";
    return missing;
}

namespace {

class Machine {
  public:
    explicit Machine(std::string_view bytes) : m_in(bytes) {}

    EscpPage Run() {
        while (m_pos < m_in.size()) {
            Step();
        }
        if (m_wrapped) {
            Error("stream ends inside a wrapped text");
        }
        return m_page;
    }

  private:
    int Byte(std::size_t at) const {
        return at < m_in.size() ? static_cast<unsigned char>(m_in[at]) : -1;
    }
    bool Need(std::size_t count) {
        if (m_pos + count > m_in.size()) {
            Error("sequence cut short");
            m_pos = m_in.size();
            return false;
        }
        return true;
    }
    void Error(const std::string& what) {
        char buf[64];
        std::snprintf(buf, sizeof buf, " at byte %zu", m_pos);
        m_page.Errors.push_back(what + buf);
    }
    void Command(std::string text) {
        m_inText = false;
        m_page.EndsWithFormFeed = false;
        m_page.Commands.push_back(std::move(text));
    }
    int Advance() const {
        switch (m_pitch) {
            case 12:
                return 5;
            case 15:
                return 4;
            default:
                return 6;
        }
    }
    void Text(unsigned char c) {
        if (!m_inText) {
            m_page.Texts.push_back({m_vert, m_horz, m_pitch, m_wrapped, {}});
            m_inText = true;
        }
        m_page.Texts.back().Text += static_cast<char>(c);
        m_horz += Advance();
        m_page.EndsWithFormFeed = false;
    }

    void Step() {
        const int c = Byte(m_pos);
        if (c == 0x1B) {
            Escape();
        } else if (c == 0x14) {
            Dc4();
        } else if (c == 0x19) {
            if (!m_wrapped) {
                Error("end of wrapper without a start");
            }
            m_wrapped = false;
            Command("WRAP END");
            ++m_pos;
        } else if (c == 0x0D) {
            m_horz = 0;
            Command("CR");
            ++m_pos;
        } else if (c == 0x0A) {
            m_vert += m_page.LineSpacing;
            Command("LF");
            ++m_pos;
        } else if (c == 0x0C) {
            if (m_wrapped) {
                Error("form feed inside a wrapped text");
            }
            ++m_page.FormFeeds;
            Command("FF");
            m_page.EndsWithFormFeed = true;
            m_vert = 0;
            m_horz = 0;
            ++m_pos;
        } else if (c >= 0x20 && c != 0x7F) {
            Text(static_cast<unsigned char>(c));
            ++m_pos;
        } else {
            Error("unknown control byte " + std::to_string(c));
            ++m_pos;
        }
    }

    void Escape() {
        if (!Need(2)) {
            return;
        }
        const int cmd = Byte(m_pos + 1);
        switch (cmd) {
            case '(': {
                // ESC ( V 2 0 nL nH: absolute vertical position in 1/360 inch.
                if (!Need(7)) {
                    return;
                }
                if (Byte(m_pos + 2) != 'V' || Byte(m_pos + 3) != 2 || Byte(m_pos + 4) != 0) {
                    Error("unknown ESC ( command");
                }
                m_vert = Byte(m_pos + 5) + 256 * Byte(m_pos + 6);
                Command("ESC ( V " + std::to_string(m_vert));
                m_pos += 7;
                return;
            }
            case '$': {
                if (!Need(4)) {
                    return;
                }
                m_horz = Byte(m_pos + 2) + 256 * Byte(m_pos + 3);
                Command("ESC $ " + std::to_string(m_horz));
                m_pos += 4;
                return;
            }
            case 'P':
                m_pitch = 10;
                Command("ESC P");
                m_pos += 2;
                return;
            case 'M':
                m_pitch = 12;
                Command("ESC M");
                m_pos += 2;
                return;
            case 'g':
                m_pitch = 15;
                Command("ESC g");
                m_pos += 2;
                return;
            case '+':
            case 'l':
            case 'x':
            case 'k':
            case 'R': {
                if (!Need(3)) {
                    return;
                }
                const int n = Byte(m_pos + 2);
                if (cmd == '+') {
                    m_page.LineSpacing = n;
                }
                Command(std::string("ESC ") + static_cast<char>(cmd) + " " + std::to_string(n));
                m_pos += 3;
                return;
            }
            default:
                Error("unknown ESC command " + std::to_string(cmd));
                m_pos += 2;
                return;
        }
    }

    // The printer's own sequences: DC4 DC4 ESC <letter> n. "R 3" starts a wrapped text that
    // runs to the next 19.
    void Dc4() {
        if (!Need(5)) {
            return;
        }
        if (Byte(m_pos + 1) != 0x14 || Byte(m_pos + 2) != 0x1B) {
            Error("unknown DC4 sequence");
            ++m_pos;
            return;
        }
        const int letter = Byte(m_pos + 3);
        const int n = Byte(m_pos + 4);
        m_pos += 5;
        if (letter == 'R' && n == 3) {
            if (m_wrapped) {
                Error("wrapper inside a wrapper");
            }
            Command("WRAP START");
            m_wrapped = true;
            // An empty wrapped text is still a text the job sent.
            m_page.Texts.push_back({m_vert, m_horz, m_pitch, true, {}});
            m_inText = true;
            return;
        }
        Command(std::string("DC4 ESC ") + static_cast<char>(letter) + " " + std::to_string(n));
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    EscpPage m_page;
    int m_vert = 0;
    int m_horz = 0;
    int m_pitch = 0;
    bool m_wrapped = false;
    bool m_inText = false;
};

}  // namespace

EscpPage EscpReader::Read(std::string_view bytes) {
    return Machine(bytes).Run();
}

}  // namespace vexa::test
