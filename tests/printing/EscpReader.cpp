#include <algorithm>
#include <iterator>

#include "printing/PrintTestSupport.h"

namespace vexa::test {

std::ostream& operator<<(std::ostream& out, const PlacedText& t) {
    return out << "{v=" << t.Vert << " h=" << t.Horz << " cpi=" << t.Pitch
               << (t.Wrapped ? " wrapped" : "") << " \"" << t.Text << "\"}";
}

std::vector<PlacedText> EscpPage::Printed() const {
    std::vector<PlacedText> out;
    std::copy_if(Texts.begin(), Texts.end(), std::back_inserter(out),
                 [](const PlacedText& t) { return !t.Text.empty(); });
    return out;
}

PlacedText EscpPage::Find(std::string_view text) const {
    const auto it = std::find_if(Texts.begin(), Texts.end(),
                                 [&](const PlacedText& t) { return t.Text == text; });
    return it != Texts.end() ? *it : PlacedText{0, 0, 0, false, "<missing>"};
}

// ESC ( V 2 0 nL nH: vertical position in 1/360 inch; ESC $ nL nH: horizontal in 1/60 inch;
// ESC P/M/g: 10/12/15 cpi; ESC + n: line spacing n/360 inch; ESC l/x/k/R n: no movement;
// DC4 DC4 ESC letter n: the printer's own, where R 3 opens a wrapped text that 19 closes.
EscpPage ReadEscp(std::string_view in) {
    EscpPage page;
    int vert = 0, horz = 0, pitch = 0, lineSpacing = 60;
    bool wrapped = false, inText = false;
    const auto at = [&](std::size_t i) {
        return i < in.size() ? static_cast<int>(static_cast<unsigned char>(in[i])) : -1;
    };
    const auto fail = [&](std::size_t i, const char* what) {
        page.Errors.push_back(what + std::string(" at byte ") + std::to_string(i));
    };
    std::size_t i = 0;
    while (i < in.size()) {
        const int c = at(i);
        const int cmd = c == 0x1B ? at(i + 1) : -1;
        std::size_t length = 1;
        bool text = false;
        if (cmd == '(' && at(i + 2) == 'V' && at(i + 3) == 2 && at(i + 4) == 0 && at(i + 6) >= 0) {
            vert = at(i + 5) + 256 * at(i + 6);
            length = 7;
        } else if (cmd == '$' && at(i + 3) >= 0) {
            horz = at(i + 2) + 256 * at(i + 3);
            length = 4;
        } else if (cmd == 'P' || cmd == 'M' || cmd == 'g') {
            pitch = cmd == 'P' ? 10 : cmd == 'M' ? 12 : 15;
            length = 2;
        } else if ((cmd == '+' || cmd == 'l' || cmd == 'x' || cmd == 'k' || cmd == 'R') &&
                   at(i + 2) >= 0) {
            lineSpacing = cmd == '+' ? at(i + 2) : lineSpacing;
            length = 3;
        } else if (c == 0x14 && at(i + 1) == 0x14 && at(i + 2) == 0x1B && at(i + 4) >= 0) {
            length = 5;
            if (at(i + 3) == 'R' && at(i + 4) == 3) {
                if (wrapped) {
                    fail(i, "wrapper inside a wrapper");
                }
                wrapped = text = true;
                page.Texts.push_back({vert, horz, pitch, true, {}});
            }
        } else if (c == 0x19) {
            if (!wrapped) {
                fail(i, "end of wrapper without a start");
            }
            wrapped = false;
        } else if (c == 0x0D) {
            horz = 0;
        } else if (c == 0x0A) {
            vert += lineSpacing;
        } else if (c == 0x0C) {
            if (wrapped) {
                fail(i, "form feed inside a wrapped text");
            }
            ++page.FormFeeds;
            vert = horz = 0;
        } else if (c >= 0x20 && c != 0x7F) {
            if (!inText) {
                page.Texts.push_back({vert, horz, pitch, wrapped, {}});
            }
            page.Texts.back().Text += in[i];
            horz += pitch == 12 ? 5 : pitch == 15 ? 4 : 6;
            text = true;
        } else {
            fail(i, c == 0x1B ? "unknown or cut ESC sequence" : "unknown control byte");
            length = c == 0x1B ? 2 : 1;
        }
        inText = text;
        page.EndsWithFormFeed = c == 0x0C;
        i += length;
    }
    if (wrapped) {
        fail(i, "stream ends inside a wrapped text");
    }
    return page;
}

}  // namespace vexa::test
