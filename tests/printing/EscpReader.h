#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::test {

// One run of text as the printer would place it.
struct PlacedText {
    int Vert = 0;          // 1/360 inch below the top of the form
    int Horz = 0;          // 1/60 inch right of the left margin
    int Pitch = 0;         // 10, 12, 15 characters per inch; 0 when none was selected
    bool Wrapped = false;  // inside the printer's reverse-text wrapper
    std::string Text;

    bool operator==(const PlacedText&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PlacedText& t);

// What a byte stream does to the printer.
struct EscpPage {
    std::vector<PlacedText> Texts;
    std::vector<std::string> Commands;  // every control sequence in order, e.g. "ESC ( V 1378"
    std::vector<std::string> Errors;    // bytes the reader does not know
    int FormFeeds = 0;
    bool EndsWithFormFeed = false;
    int LineSpacing = 60;  // 1/360 inch; the printer's 1/6 inch until ESC + sets it

    // The texts without empty wrapped items (an empty field prints nothing).
    std::vector<PlacedText> Printed() const;
    // The first text run equal to `text`; a default PlacedText with Text "<missing>" when none.
    PlacedText Find(std::string_view text) const;
};

// Interprets an ESC/P byte stream the way the target printer does, for the commands the program
// uses: ESC ( V, ESC $, ESC P/M/g, ESC +, ESC l, ESC x, ESC k, ESC R, CR, LF, FF, the printer's
// DC4 DC4 ESC ... sequences and the DC4 DC4 ESC R 03 ... 19 text wrapper. Written on its own
// from the printer's command reference, so it checks the encoder instead of repeating it.
class EscpReader {
  public:
    static EscpPage Read(std::string_view bytes);
};

}  // namespace vexa::test
