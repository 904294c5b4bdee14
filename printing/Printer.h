#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/port/ByteSink.h"
#include "platform/port/PortOpener.h"

namespace vexa {

class Config;

// The only code that talks to the printer: an Epson ESC/P dot-matrix printer (ESC ( V of ESC/P2
// for vertical positions) with a few sequences of its own. One job: OpenPort, positioning and
// text, ClosePort. Nothing is read back from the printer.
//
// Positions: vertical in 1/360 inch from the top of the form, horizontal in 1/60 inch from the
// left margin, both 0..32767. Line spacing is 90/360 inch, so 0D 0A moves down one row.
//
// The first failure (the port cannot be opened, a write fails, the printer takes no bytes for
// the port's stall timeout) closes the port at once; later operations send nothing and
// ClosePort reports false. ErrorMessage then tells the user, in Czech, which port failed and
// why.
class Printer {
  public:
    static constexpr int kMaxPosition = 32767;

    // Reads the port name (Port) and the insertion (SmerTisku) from `config`. `jobTitle`
    // (Windows-1250) names the job where the port shows it to others (a print queue).
    Printer(const Config& config, PortOpener& opener, std::string jobTitle = {});
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Opens the port named by Port and sends the initialisation series. False when the port
    // could not be opened or written.
    bool OpenPort();
    // Sends form feed (ejects the sheet) and closes the port. False when anything in the job
    // failed or the bytes could not be delivered.
    bool ClosePort();

    void SendDeviceSetupA();
    void SendDeviceSetupB();
    void SelectLetterQuality();
    void SelectSansSerif();
    void SetLeftMargin(int column);  // 0..255
    void SetLineSpacing();
    void Select10Cpi();
    void Select12Cpi();
    void Select15Cpi();
    void SetVertPos(int position);  // 0..32767, 1/360 inch below the top of the form
    void SetHorzPos(int position);  // 0..32767, 1/60 inch right of the left margin
    // Text as it is, no wrapper.
    void PutString(std::string_view bytes);
    // A data text: wrapped in the printer's reverse-insertion sequence when SmerTisku is 1.
    void PrintText(std::string_view bytes);

    // The ISO 8859-2 code of a Windows-1250 character; nothing when ISO 8859-2 has no such
    // character (the quotation marks and dashes at 80..9F, the euro sign, ...). Control
    // characters keep their codes.
    static std::optional<unsigned char> Latin2Of(unsigned char cp1250);
    // Windows-1250 text to ISO 8859-2, character by character; a character ISO 8859-2 lacks
    // becomes "?" (the jobs refuse such texts before they open the port). Same length.
    static std::string ToLatin2(std::string_view cp1250);

    bool IsOpen() const { return m_sink != nullptr; }
    bool Failed() const { return m_failed; }
    // The Czech text (Windows-1250) telling the user why the job failed; "" when it did not.
    const std::string& ErrorMessage() const { return m_message; }

  private:
    void Send(std::string_view bytes);
    void SendPosition(std::string_view command, int position);
    void FailWrite(const std::string& reason);
    // The sink failed: the port is closed and the message tells why.
    void FailSink();
    // The message for a port's failure of `fault` with `words`.
    std::string FaultMessage(PortFault fault, const std::string& words, const std::string& group,
                             bool opened) const;

    const Config& m_config;
    PortOpener& m_opener;
    std::string m_jobTitle;
    std::unique_ptr<ByteSink> m_sink;
    std::string m_portName;
    std::string m_device;
    bool m_failed = false;
    std::string m_message;
};

}  // namespace vexa
