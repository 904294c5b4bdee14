#include "printing/forms/PrintDialog.h"

#include <QCloseEvent>

#include "platform/Cp1250.h"
#include "platform/ui/MessageBox.h"
#include "printing/DataPageJob.h"

namespace vexa {

PrintDialog::PrintDialog(Context context) : m_context(std::move(context)) {}

void PrintDialog::closeEvent(QCloseEvent* event) {
    Form::closeEvent(event);
    m_context.Owner.activateWindow();
}

void PrintDialog::Warn(const std::string& message) {
    m_context.Messages.ShowWarning(this, message);
}

void PrintDialog::AskPrintData() {
    if (!m_context.Messages.AskYesNo(this, Cs("Tisk"), Cs("Vytisknout data?")))
        return;
    if (const ClientsDataCls* record = m_context.TakeRecord())
        DataPageJob(m_context.Settings, m_context.Ports, *this).PrintDataPage(*record);
}

}  // namespace vexa
