#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "printing/PrintedJob.h"

namespace vexa {

// Reads a print job's bytes the way the printer does and tells what lands on the paper: every
// text run with its position, pitch and characters, sheet by sheet. It knows exactly the
// commands this program's jobs use:
//
//   ESC ( V 2 0 nL nH   vertical position, 1/360 inch below the top of the form
//   ESC $ nL nH         horizontal position, 1/60 inch right of the left margin
//   ESC P, ESC M, ESC g 10, 12, 15 characters per inch
//   ESC + n             line spacing n/360 inch (1/6 inch until set)
//   ESC l n             left margin at column n of the current pitch
//   ESC x n, ESC k n, ESC R 0   print quality, typeface, the plain character set: no movement
//   CR, LF, FF          back to the left margin; down one line (and back); eject the sheet
//   DC4 DC4 ESC Y 1, DC4 DC4 ESC S 2   the printer's own set-up
//   DC4 DC4 ESC R 3 ... EM   a text printed for a booklet inserted reversed
//
// and reads text as ISO 8859-2. The 25-byte initialisation series every job starts with is
// taken as one step. Anything else (an unknown command, a control byte, a byte Latin-2 has no
// letter for, a stream cut inside a command) is reported with its offset and never dropped
// without a word; reading goes on after it, so the page shows what the printer would still do.
//
// It reads only the bytes: it shares nothing with the code that writes them, so a mistake of
// the jobs shows in the preview.
class PageInterpreter {
  public:
    // Problems kept in full; the rest are only counted.
    static constexpr std::size_t kKeptProblems = 100;

    static PrintedJob Read(std::string_view bytes);

    // ISO 8859-2 text as the program's Windows-1250 (Latin-2 has every letter of it). Bytes
    // with no printable Latin-2 character (controls, 7F..9F) stay as they are.
    static std::string FromLatin2(std::string_view latin2);
    // True for a byte the printer prints as a character in Latin-2.
    static bool IsPrintable(unsigned char byte);
};

}  // namespace vexa
