#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// The positions and texts of one job, worked out before the port is opened. Each position is
// computed in double precision and rounded to a whole number with halves to even; the printer
// takes 0..32767. Each text is converted to the printer's ISO 8859-2; one holding a character
// that code page lacks, or a control character, cannot be sent (it would print as another
// character or be taken as a command). The first position or text that cannot be sent is kept
// as a Czech message, and the job then sends nothing, so a booklet page is never half printed.
class PositionPlan {
  public:
    // The rounded position, or nothing when it is not a number the printer can take.
    static std::optional<int> Round(double value);

    // Rounds and checks one position; `cause` says where it comes from, as the message will
    // name it ("z nastavení GlobVertNS a VertShift"). Gives 0 for a position that failed.
    int Place(double value, std::string_view cause);
    // The text (Windows-1250) of the field `field` (UTF-8, as the message names it) in ISO
    // 8859-2; a text that cannot be sent fails the plan.
    std::string Text(std::string_view cp1250, std::string_view field);
    // Records a problem of the job's own; the first one is kept.
    void Fail(std::string message);

    bool Ok() const { return m_problem.empty(); }
    const std::string& Problem() const { return m_problem; }

  private:
    std::string m_problem;
};

}  // namespace vexa
