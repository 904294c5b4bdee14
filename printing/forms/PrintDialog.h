#pragma once

#include <QString>
#include <functional>
#include <string>
#include <utility>

#include "platform/ui/Form.h"
#include "printing/Notifier.h"

class QCloseEvent;

namespace vexa {

class ClientsDataCls;
class Config;
class MessageBox;
class PortOpener;

// What the two print dialogs share: what the window that opens them hands them, the question
// "Vytisknout data?" that leads to the data page, and the warnings of their print jobs, which
// the clerk reads over the dialog. A dialog is a window of its own (no parent), so it stays
// usable while it keeps its owner disabled.
class PrintDialog : public Form, public Notifier {
    Q_OBJECT
  public:
    struct Context {
        // The window the dialog stands over.
        QWidget& Owner;
        Config& Settings;
        // Where the jobs send their bytes.
        PortOpener& Ports;
        MessageBox& Messages;
        // The record to print, taken again from the owner's fields at the moment of printing;
        // null when the fields cannot be printed (the owner has told the clerk why).
        std::function<const ClientsDataCls*()> TakeRecord;
        // Called after the dialog stored a print shift in the settings (the owner writes them).
        std::function<void()> ShiftStored;
    };

    void Warn(const std::string& message) override;

  protected:
    explicit PrintDialog(Context context);

    // Closing gives the keyboard back to the owner.
    void closeEvent(QCloseEvent* event) override;

    // Asks "Vytisknout data?"; on Yes prints the data page of the record as the clerk sees it.
    void AskPrintData();
    // Closes the dialog for good: each opening starts afresh.
    void Unload() { close(); }

    Context m_context;
};

}  // namespace vexa
