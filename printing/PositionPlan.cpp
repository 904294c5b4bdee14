#include "printing/PositionPlan.h"

#include <utility>

#include "platform/Numbers.h"
#include "printing/PrintMessages.h"
#include "printing/Printer.h"

namespace vexa {

std::optional<int> PositionPlan::Round(double value) {
    const auto rounded = Numbers::RoundToInt16(value);
    if (!rounded || *rounded < 0 || *rounded > Printer::kMaxPosition) {
        return std::nullopt;
    }
    return *rounded;
}

int PositionPlan::Place(double value, std::string_view cause) {
    if (const auto position = Round(value)) {
        return *position;
    }
    Fail(PrintMessages::PositionOutOfRange(cause, value));
    return 0;
}

void PositionPlan::Fail(std::string message) {
    if (m_problem.empty()) {
        m_problem = std::move(message);
    }
}

}  // namespace vexa
