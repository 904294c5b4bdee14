#include "printing/Printer.h"

#include <cstddef>
#include <iterator>
#include <utility>

#include "platform/Cp1250.h"
#include "printing/PrintMessages.h"
#include "settings/Config.h"

namespace vexa {

namespace {

constexpr char kEsc = '\x1B';

// Device-specific sequences of the target printer (they begin with two DC4 bytes and carry no
// ESC/P meaning): two set-up sequences and the wrapper of a text printed for a booklet
// inserted the reverse way.
constexpr std::string_view kDeviceSetupA{"\x14\x14\x1BY\x01", 5};
constexpr std::string_view kDeviceSetupB{"\x14\x14\x1BS\x02\x1BR\x00", 8};
constexpr std::string_view kReverseTextStart{"\x14\x14\x1BR\x03", 5};
constexpr std::string_view kReverseTextEnd{"\x19", 1};
constexpr std::string_view kFormFeed{"\x0C", 1};

}  // namespace

Printer::Printer(const Config& config, PortOpener& opener) : m_config(config), m_opener(opener) {}

Printer::~Printer() {
    // A job that ends early still releases the port.
    if (m_sink) {
        m_sink->Close();
    }
}

bool Printer::OpenPort() {
    if (m_sink) {
        m_sink->Close();
        m_sink.reset();
    }
    m_failed = false;
    m_message.clear();
    m_portName = m_config.Text(cfg::Port);
    PortOpening opening = m_opener.Open(m_portName);
    m_device = opening.Device;
    if (!opening.Sink) {
        m_failed = true;
        m_message = PrintMessages::PortOpenFailed(m_portName, m_device, opening.Reason);
        return false;
    }
    m_sink = std::move(opening.Sink);
    SendDeviceSetupA();
    SendDeviceSetupB();
    SelectLetterQuality();
    SelectSansSerif();
    SetLeftMargin(0);
    SetLineSpacing();
    return !m_failed;
}

bool Printer::ClosePort() {
    if (!m_sink) {
        return false;  // never opened, or already closed by a failure
    }
    Send(kFormFeed);
    if (!m_sink) {
        return false;
    }
    if (!m_sink->Close()) {
        FailSink();
        return false;
    }
    m_sink.reset();
    return !m_failed;
}

void Printer::FailSink() {
    if (m_sink->NotTakingData()) {
        m_failed = true;
        m_message = PrintMessages::PortNotTakingData(m_portName, m_device);
        m_sink->Close();
        m_sink.reset();
    } else {
        FailWrite(m_sink->Error());
    }
}

void Printer::FailWrite(const std::string& reason) {
    m_failed = true;
    m_message = PrintMessages::PortWriteFailed(m_portName, m_device, reason);
    if (m_sink) {
        m_sink->Close();
        m_sink.reset();
    }
}

void Printer::Send(std::string_view bytes) {
    if (!m_sink || m_failed) {
        return;
    }
    if (!m_sink->Write(bytes)) {
        FailSink();
    }
}

void Printer::SendDeviceSetupA() {
    Send(kDeviceSetupA);
}
void Printer::SendDeviceSetupB() {
    Send(kDeviceSetupB);
}
void Printer::SelectLetterQuality() {
    Send({"\x1Bx\x01", 3});
}
void Printer::SelectSansSerif() {
    Send({"\x1Bk\x01", 3});
}

void Printer::SetLeftMargin(int column) {
    const char bytes[] = {kEsc, 'l', static_cast<char>(column & 0xFF)};
    Send({bytes, sizeof bytes});
}

void Printer::SetLineSpacing() {
    Send({"\x1B+\x5A", 3});
}  // ESC + 90: 90/360 inch
void Printer::Select10Cpi() {
    Send({"\x1BP", 2});
}
void Printer::Select12Cpi() {
    Send({"\x1BM", 2});
}
void Printer::Select15Cpi() {
    Send({"\x1Bg", 2});
}

void Printer::SendPosition(std::string_view command, int position) {
    if (position < 0 || position > kMaxPosition) {
        // The jobs check every position before they open the port; this only guards against
        // sending a wrong number should one slip through.
        FailWrite(Cs("poloha ") + std::to_string(position) + Cs(" je mimo rozsah 0 až 32767"));
        return;
    }
    std::string bytes(command);
    bytes += static_cast<char>(position & 0xFF);
    bytes += static_cast<char>((position >> 8) & 0xFF);
    Send(bytes);
}

void Printer::SetVertPos(int position) {
    SendPosition({"\x1B(V\x02\x00", 5}, position);
}
void Printer::SetHorzPos(int position) {
    SendPosition({"\x1B$", 2}, position);
}

// Texts reach the printer as the bytes they are held in. Every text the program holds is
// Windows-1250 (a character with no Windows-1250 code is refused when it is typed), so no
// character ever needs a substitute here; the jobs pass the texts that may hold Czech letters
// through ToLatin2 first.
void Printer::PutString(std::string_view bytes) {
    Send(bytes);
}

void Printer::PrintText(std::string_view bytes) {
    if (m_config.Number(cfg::SmerTisku) == 1.0) {
        std::string wrapped(kReverseTextStart);
        wrapped.append(bytes);
        wrapped.append(kReverseTextEnd);
        Send(wrapped);
    } else {
        Send(bytes);
    }
}

std::string Printer::ToLatin2(std::string_view cp1250) {
    // Windows-1250 code -> ISO 8859-2 code of the same letter, where the two differ for Czech:
    // Š Ť Ž š ť ž. Every other Czech letter has one code in both.
    static constexpr unsigned char kFrom[] = {0x8A, 0x8D, 0x8E, 0x9A, 0x9D, 0x9E};
    static constexpr unsigned char kTo[] = {0xA9, 0xAB, 0xAE, 0xB9, 0xBB, 0xBE};
    std::string out(cp1250);
    for (char& c : out) {
        for (std::size_t i = 0; i < std::size(kFrom); ++i) {
            if (static_cast<unsigned char>(c) == kFrom[i]) {
                c = static_cast<char>(kTo[i]);
                break;
            }
        }
    }
    return out;
}

}  // namespace vexa
