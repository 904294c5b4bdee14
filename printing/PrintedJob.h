#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexa {

// One run of text as the printer lays it down: printable bytes one after another with no
// command between them. Positions are those of the print head when the first byte came, from
// the top-left corner of the printable area.
struct TextRun {
    // The height of a character: the 24 pins of the head, 1/180 inch apart.
    static constexpr double kCellHeightMm = 24.0 * 25.4 / 180.0;

    std::size_t Offset = 0;  // where the run's first byte stands in the stream
    int Vert = 0;            // 1/360 inch below the top of the printable area
    int Horz = 0;            // 1/60 inch right of its left edge
    int Pitch = 0;           // 10, 12 or 15 cpi as the stream selected it; 0 when it selected none
    bool Reversed = false;   // inside the wrapper the printer gets for a booklet inserted reversed
    std::string Text;        // Windows-1250, decoded from the printer's Latin-2

    // The pitch the printer prints at: the one selected, else its own 10 cpi.
    int Cpi() const { return Pitch == 0 ? 10 : Pitch; }
    double TopMm() const;
    double LeftMm() const;
    // One character cell: 25.4 / cpi mm.
    double CellWidthMm() const;
    double WidthMm() const;
};

// One sheet: what was printed until a form feed ejected it (or the stream ended).
struct PrintedPage {
    // The printable area the preview shows: the opened booklet, two pages of 125 x 88 mm one
    // above the other. The default positions put the data page of a booklet inserted the normal
    // way, and the children page, below the fold; inserted reversed, the data page lies above.
    static constexpr double kWidthMm = 125.0;
    static constexpr double kHeightMm = 176.0;
    static constexpr double kFoldMm = 88.0;

    std::vector<TextRun> Runs;
    bool Ejected = false;  // ended by a form feed

    // True when the run's characters lie wholly inside the printable area.
    static bool Inside(const TextRun& run);
    // The runs that reach beyond the printable area, in stream order.
    std::vector<TextRun> Beyond() const;
};

// A place in the stream the printer would not understand, or where the job is cut short.
struct StreamProblem {
    enum class Kind {
        Unknown,     // a byte or sequence the printer does not know (or the job never sends)
        Truncated,   // the stream ends inside a sequence
        Misplaced,   // a known sequence where it has no meaning: inside a reversed text
        Unfinished,  // the stream ends with a reversed text open or a sheet not ejected
        Empty,       // no bytes at all
    };
    std::size_t Offset = 0;
    Kind What = Kind::Unknown;
    std::string Message;  // Czech (Windows-1250), "bajt 12: ..." (Empty names no offset)
};

// Everything a byte stream does to the printer.
struct PrintedJob {
    std::vector<PrintedPage> Pages;
    std::vector<StreamProblem> Problems;  // in stream order; only the first ones are kept
    std::size_t ProblemCount = 0;         // all of them

    bool Readable() const { return ProblemCount == 0; }
};

}  // namespace vexa
