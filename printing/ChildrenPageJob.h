#pragma once

#include <string>
#include <vector>

#include "platform/port/PortOpener.h"
#include "printing/Notifier.h"

namespace vexa {

class ClientsDataCls;
class Config;

// Prints the holder's children onto the children page: one numbered row per child with name,
// birth date and sex in three columns, at the pitch of FontSize. A name longer than the pitch
// allows is split once at its last space and continues on the next row; a name without a
// space prints whole on one row. Under normal insertion (SmerTisku 0) the rows run down the
// page; otherwise the columns are mirrored and the rows run up.
//
// Every row position is worked out before the port is opened; when the list does not fit the
// positions the printer can take, nothing is printed and the user is told how many children
// made it impossible. The calibration shift does not apply to this page.
class ChildrenPageJob {
  public:
    ChildrenPageJob(const Config& config, PortOpener& opener, Notifier& notifier);

    bool PrintChildrenPage(const ClientsDataCls& record);
    bool PrintChildrenNormal(const ClientsDataCls& record);
    bool PrintChildrenReverse(const ClientsDataCls& record);

  private:
    struct Columns {
        int Name = 0;
        int BirthDate = 0;
        int Sex = 0;
    };
    bool Print(const ClientsDataCls& record, bool reverse);

    const Config& m_config;
    PortOpener& m_opener;
    Notifier& m_notifier;
};

}  // namespace vexa
