#include "printing/Printer.h"

#include <cstddef>
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

Printer::Printer(const Config& config, PortOpener& opener, std::string jobTitle)
    : m_config(config), m_opener(opener), m_jobTitle(std::move(jobTitle)) {}

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
    PortOpening opening = m_opener.Open(m_portName, m_jobTitle);
    m_device = opening.Device;
    if (!opening.Sink) {
        m_failed = true;
        m_message = FaultMessage(opening.Fault, opening.Reason, opening.Group, false);
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
    m_failed = true;
    m_message = FaultMessage(m_sink->Fault(), m_sink->Error(), {}, true);
    m_sink->Close();
    m_sink.reset();
}

std::string Printer::FaultMessage(PortFault fault, const std::string& words,
                                  const std::string& group, bool opened) const {
    using M = PrintMessages;
    switch (fault) {
        case PortFault::NoRights:
            return M::PortNoRights(m_portName, m_device, group);
        case PortFault::NotTakingData:
            return M::PortNotTakingData(m_portName, m_device);
        case PortFault::QueueMissing:
            return M::QueueMissing(m_device);
        case PortFault::ServiceDown:
            return M::QueueServiceDown(m_device);
        case PortFault::Refused:
            return M::QueueRefused(m_device, words);
        case PortFault::NotPrinted:
            return M::QueueNotPrinted(m_device, words);
        default:
            return opened ? M::PortWriteFailed(m_portName, m_device, words)
                          : M::PortOpenFailed(m_portName, m_device, words);
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

// Texts reach the printer as the bytes they are given: the jobs convert them with ToLatin2
// after checking that every character has a code of its own.
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

std::optional<unsigned char> Printer::Latin2Of(unsigned char cp1250) {
    // The ISO 8859-2 code of each Windows-1250 character from 80 on, 0 where ISO 8859-2 has
    // none; below 80 the two agree. Latin-2 leaves 80..9F to control codes, so no character
    // is ever sent there.
    static constexpr unsigned char kHigh[128] = {
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 80 € ‚ „ … † ‡
        0x00, 0x00, 0xA9, 0x00, 0xA6, 0xAB, 0xAE, 0xAC,  // 88 ‰ Š ‹ Ś Ť Ž Ź
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 90 ‘ ’ “ ” • – —
        0x00, 0x00, 0xB9, 0x00, 0xB6, 0xBB, 0xBE, 0xBC,  // 98 ™ š › ś ť ž ź
        0xA0, 0xB7, 0xA2, 0xA3, 0xA4, 0xA1, 0x00, 0xA7,  // A0 (no-break space) ˇ ˘ Ł ¤ Ą ¦ §
        0xA8, 0x00, 0xAA, 0x00, 0x00, 0xAD, 0x00, 0xAF,  // A8 ¨ © Ş « ¬ (soft hyphen) ® Ż
        0xB0, 0x00, 0xB2, 0xB3, 0xB4, 0x00, 0x00, 0x00,  // B0 ° ± ˛ ł ´ µ ¶ ·
        0xB8, 0xB1, 0xBA, 0x00, 0xA5, 0xBD, 0xB5, 0xBF,  // B8 ¸ ą ş » Ľ ˝ ľ ż
        0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7,  // C0..FF: the same in both
        0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,  //
        0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7,  //
        0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,  //
        0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7,  //
        0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,  //
        0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,  //
        0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,  //
    };
    if (cp1250 < 0x80) {
        return cp1250;
    }
    const unsigned char latin2 = kHigh[cp1250 - 0x80];
    if (latin2 == 0) {
        return std::nullopt;
    }
    return latin2;
}

std::string Printer::ToLatin2(std::string_view cp1250) {
    std::string out(cp1250);
    for (char& c : out) {
        c = static_cast<char>(Latin2Of(static_cast<unsigned char>(c)).value_or('?'));
    }
    return out;
}

}  // namespace vexa
