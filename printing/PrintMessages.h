#pragma once

#include <string>
#include <string_view>

namespace vexa {

// The Czech texts the print jobs show when a job cannot be done or fails. Arguments and results
// are Windows-1250.
class PrintMessages {
  public:
    // Where a position comes from, for PositionOutOfRange: "z nastavení " and `names` (UTF-8,
    // e.g. "GlobVertNS a VertShift").
    static std::string FromSettings(std::string_view names);

    static std::string PortOpenFailed(std::string_view port, std::string_view device,
                                      std::string_view reason);
    static std::string PortWriteFailed(std::string_view port, std::string_view device,
                                       std::string_view reason);
    // The device took no bytes for the stall timeout: off, off-line or out of paper.
    static std::string PortNotTakingData(std::string_view port, std::string_view device);
    // The user may not open the device; `group` owns it ("" when unknown).
    static std::string PortNoRights(std::string_view port, std::string_view device,
                                    std::string_view group);
    // A print queue's failures, naming the queue: it does not exist, the print service does not
    // run, the service refused the job (`reason`), the job was not printed in time and was
    // cancelled (`reason` tells the job's and the queue's state).
    static std::string QueueMissing(std::string_view queue);
    static std::string QueueServiceDown(std::string_view queue);
    static std::string QueueRefused(std::string_view queue, std::string_view reason);
    static std::string QueueNotPrinted(std::string_view queue, std::string_view reason);
    // A text of the field `field` (UTF-8) holds `character`, which the printer has no code for
    // or would take as a command.
    static std::string UnprintableCharacter(std::string_view field, unsigned char character);
    // `cause` tells where the position came from, e.g. "z nastavení GlobVertNS a VertShift".
    static std::string PositionOutOfRange(std::string_view cause, double value);
    static std::string ChildrenDoNotFit(int children, int rows, int failingRow,
                                        std::string_view settings, double value);
    static std::string NoBirthDate(std::string_view rc);
    // Text for a computed value in a message: the whole number, or "příliš velké číslo".
    static std::string ValueText(double value);
};

}  // namespace vexa
