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

std::string PositionPlan::Text(std::string_view cp1250, std::string_view field) {
    for (const char c : cp1250) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || !Printer::Latin2Of(byte)) {
            Fail(PrintMessages::UnprintableCharacter(field, byte));
            break;
        }
    }
    return Printer::ToLatin2(cp1250);
}

void PositionPlan::Fail(std::string message) {
    if (m_problem.empty()) {
        m_problem = std::move(message);
    }
}

}  // namespace vexa
