#pragma once

#include "platform/port/PortOpener.h"
#include "printing/Notifier.h"

namespace vexa {

class ClientsDataCls;
class Config;

// Prints a holder's data onto the data page of the booklet: ten items at positions taken from
// the settings of the chosen insertion (SmerTisku 0 normal, anything else reverse) and the
// calibration shift.
//
// Before the port is opened the job derives the birth date and works out every position; if
// the birth date cannot be derived or a position cannot be sent, nothing at all is printed and
// the user is told why. Every refusal and failure goes to the notifier; the result says
// whether the page was printed.
class DataPageJob {
  public:
    DataPageJob(const Config& config, PortOpener& opener, Notifier& notifier);

    bool PrintDataPage(const ClientsDataCls& record);
    bool PrintDataPageNormal(const ClientsDataCls& record);
    bool PrintDataPageReverse(const ClientsDataCls& record);

  private:
    const Config& m_config;
    PortOpener& m_opener;
    Notifier& m_notifier;
};

}  // namespace vexa
