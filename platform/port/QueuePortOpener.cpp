#include "platform/port/QueuePortOpener.h"

#include <cups/cups.h>
#include <sys/socket.h>

#include <memory>
#include <optional>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/port/HeldSink.h"
#include "platform/port/PortWait.h"

namespace vexa {
namespace {

using Clock = std::chrono::steady_clock;

// How long the service may take to answer a connection and one request: it runs on this
// machine or near it, so a few seconds are plenty.
constexpr int kConnectMs = 3000;
constexpr double kRequestSeconds = 5.0;
// How often a job's state is asked for while it prints.
constexpr std::chrono::milliseconds kPollPause{100};

// The service's words (UTF-8) in Windows-1250; a character the code page cannot hold is "?".
std::string FromService(const char* utf8) {
    if (utf8 == nullptr) {
        return {};
    }
    if (auto text = Cp1250::FromUtf8(utf8)) {
        return *text;
    }
    std::string text;
    for (const char* p = utf8; *p != 0; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x80) {
            text += *p;
        } else if (b >= 0xC0) {
            text += '?';  // one character; its continuation bytes are skipped
        }
    }
    return text;
}

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpClose>;
struct IppDelete {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDelete>;

// A connection to the service, or null when none runs. Nobody is ever asked for a password:
// a job the service wants one for is refused.
Http Connect() {
    cupsSetPasswordCB2([](const char*, http_t*, const char*, const char*,
                          void*) -> const char* { return nullptr; },
                       nullptr);
    Http http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                           kConnectMs, nullptr));
    if (http) {
        httpSetTimeout(http.get(), kRequestSeconds, nullptr, nullptr);
    }
    return http;
}

std::string Uri(const char* resource, const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/%s/%s", resource, name.c_str());
    return uri;
}

// Sends a request about the queue or the job and gives the answer (null on failure, the
// status then in cupsLastError()).
Ipp Ask(http_t* http, ipp_op_t op, const char* uriName, const std::string& uri,
        std::initializer_list<const char*> attributes) {
    ipp_t* request = ippNewRequest(op);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(attributes.size()), nullptr, attributes.begin());
    Ipp answer(cupsDoRequest(http, request, "/"));
    if (answer && ippGetStatusCode(answer.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        answer.reset();
    }
    return answer;
}

int Integer(ipp_t* ipp, const char* name) {
    ipp_attribute_t* attr = ippFindAttribute(ipp, name, IPP_TAG_ENUM);
    return attr != nullptr ? ippGetInteger(attr, 0) : 0;
}

// Why a request failed, as a port fault and its words.
std::pair<PortFault, std::string> Failure(ipp_status_t status) {
    switch (status) {
        case IPP_STATUS_ERROR_NOT_FOUND:
            return {PortFault::QueueMissing, {}};
        case IPP_STATUS_ERROR_INTERNAL:  // libcups' own: the connection is gone
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            return {PortFault::ServiceDown, {}};
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
            return {PortFault::Refused, Cs("fronta nepřijímá úlohy")};
        case IPP_STATUS_ERROR_FORBIDDEN:
        case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        case IPP_STATUS_ERROR_NOT_AUTHORIZED:
        case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
            return {PortFault::Refused, Cs("tisk na tuto frontu není dovolen")};
        default:
            return {PortFault::Refused, FromService(cupsLastErrorString())};
    }
}

// The queue's state in words: stopped, off-line, out of paper, ... and the queue's own
// message. Reasons without a word of ours are given as the service names them.
std::string QueueState(ipp_t* printer) {
    std::vector<std::string> words;
    auto add = [&words](const std::string& word) {
        for (const std::string& w : words) {
            if (w == word) {
                return;
            }
        }
        words.push_back(word);
    };
    if (printer == nullptr) {
        return {};
    }
    if (Integer(printer, "printer-state") == IPP_PSTATE_STOPPED) {
        add(Cs("fronta je zastavená"));
    }
    static const std::pair<std::string_view, const char*> kReasons[] = {
        {"paused", "fronta je zastavená"},
        {"offline", "tiskárna není ve stavu on-line"},
        {"shutdown", "tiskárna je vypnutá"},
        {"timed-out", "tiskárna neodpovídá"},
        {"connecting-to-device", "tisková služba se k tiskárně nemůže připojit"},
        {"media-empty", "v tiskárně došel papír"},
        {"media-needed", "v tiskárně došel papír"},
        {"media-jam", "v tiskárně uvízl papír"},
        {"cover-open", "tiskárna je otevřená"},
        {"door-open", "tiskárna je otevřená"},
        {"marker-supply-empty", "v tiskárně došla páska"},
    };
    ipp_attribute_t* reasons = ippFindAttribute(printer, "printer-state-reasons", IPP_TAG_KEYWORD);
    for (int i = 0; reasons != nullptr && i < ippGetCount(reasons); ++i) {
        std::string reason = ippGetString(reasons, i, nullptr);
        for (const char* suffix : {"-error", "-warning", "-report"}) {
            if (reason.ends_with(suffix)) {
                reason.resize(reason.size() - std::string_view(suffix).size());
            }
        }
        if (reason == "none" || reason == "other") {
            continue;
        }
        const char* word = nullptr;
        for (const auto& [keyword, czech] : kReasons) {
            if (keyword == reason) {
                word = czech;
            }
        }
        add(word != nullptr ? Cs(word) : FromService(reason.c_str()));
    }
    // The queue's own words: the backend's or the administrator's reason ("Paused" is only what
    // the service says for a queue stopped without one).
    ipp_attribute_t* message = ippFindAttribute(printer, "printer-state-message", IPP_TAG_TEXT);
    const std::string said = message != nullptr ? ippGetString(message, 0, nullptr) : "";
    if (!said.empty() && said != "Paused") {
        add(Cs("„") + FromService(said.c_str()) + Cs("“"));
    }
    std::string text;
    for (const std::string& w : words) {
        text += (text.empty() ? "" : "; ") + w;
    }
    return text;
}

// What happened to a job that did not print within `seconds`.
std::string JobState(int state, long seconds) {
    const std::string after = std::to_string(seconds) + " s";
    switch (state) {
        case IPP_JSTATE_PENDING:
            return Cs("úloha čekala ve frontě ") + after;
        case IPP_JSTATE_HELD:
            return Cs("fronta úlohu pozdržela");
        case IPP_JSTATE_PROCESSING:
            return Cs("úloha se za ") + after + Cs(" nedotiskla");
        case IPP_JSTATE_STOPPED:
            return Cs("tisk úlohy se zastavil");
        case IPP_JSTATE_CANCELED:
            return Cs("úloha byla ve frontě zrušena");
        default:
            return Cs("tisková služba úlohu přerušila");
    }
}

// Collects the job's bytes; Close sends them as one raw job and waits for it to be printed.
class QueueSink : public HeldSink {
  public:
    QueueSink(Http http, std::string queue, std::string title, std::chrono::milliseconds timeout)
        : m_http(std::move(http)),
          m_queue(std::move(queue)),
          m_title(std::move(title)),
          m_timeout(timeout) {}

    const std::string& Error() const override { return m_error; }
    PortFault Fault() const override { return m_fault; }

  private:
    bool Deliver(std::string bytes) override {
        m_bytes = std::move(bytes);
        const int job = Send();
        return job != 0 && AwaitPrinted(job);
    }

    void Fail(PortFault fault, std::string words) {
        m_fault = fault;
        m_error = std::move(words);
    }
    void Fail(ipp_status_t status) {
        auto [fault, words] = Failure(status);
        Fail(fault, std::move(words));
    }

    // The job's number, 0 when the service did not take it (nothing is left in the queue).
    int Send() {
        http_t* http = m_http.get();
        const int job = cupsCreateJob(http, m_queue.c_str(), m_title.c_str(), 0, nullptr);
        if (job == 0) {
            Fail(cupsLastError());
            return 0;
        }
        if (cupsStartDocument(http, m_queue.c_str(), job, "vexa", CUPS_FORMAT_RAW, 1) !=
                HTTP_STATUS_CONTINUE ||
            cupsWriteRequestData(http, m_bytes.data(), m_bytes.size()) != HTTP_STATUS_CONTINUE ||
            cupsFinishDocument(http, m_queue.c_str()) != IPP_STATUS_OK) {
            const ipp_status_t status = cupsLastError();
            cupsCancelJob2(http, m_queue.c_str(), job, 0);
            Fail(status);
            return 0;
        }
        return job;
    }

    // The job's state, 0 when the service did not answer.
    int StateOf(int job) {
        Ipp answer = Ask(m_http.get(), IPP_OP_GET_JOB_ATTRIBUTES, "job-uri",
                         Uri("jobs", std::to_string(job)), {"job-state"});
        return answer ? Integer(answer.get(), "job-state") : 0;
    }

    bool AwaitPrinted(int job) {
        PortWait wait;
        const Clock::time_point sent = Clock::now();
        int state = 0;
        for (;;) {
            state = StateOf(job);
            if (state == IPP_JSTATE_COMPLETED) {
                return true;
            }
            if (state == 0 || state >= IPP_JSTATE_CANCELED || state == IPP_JSTATE_HELD ||
                Clock::now() - sent >= m_timeout) {
                break;
            }
            wait.Pause(kPollPause);
        }
        if (state == 0) {
            Fail(PortFault::System, Cs("tisková služba přestala odpovídat, úlohu ") +
                                        std::to_string(job) +
                                        Cs(" nelze zrušit; zkontrolujte frontu"));
            return false;
        }
        // Why it did not print, asked before the cancelling changes the queue's state.
        Ipp printer = Ask(m_http.get(), IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri",
                          Uri("printers", m_queue),
                          {"printer-state", "printer-state-reasons", "printer-state-message"});
        const long seconds = static_cast<long>((m_timeout.count() + 999) / 1000);
        if (state < IPP_JSTATE_CANCELED) {
            cupsCancelJob2(m_http.get(), m_queue.c_str(), job, 0);
            if (StateOf(job) == IPP_JSTATE_COMPLETED) {
                return true;  // it printed just then
            }
        }
        std::string words = JobState(state, seconds);
        if (const std::string queue = QueueState(printer.get()); !queue.empty()) {
            words += "; " + queue;
        }
        Fail(PortFault::NotPrinted, std::move(words));
        return false;
    }

    Http m_http;
    std::string m_queue;  // UTF-8
    std::string m_title;  // UTF-8
    std::chrono::milliseconds m_timeout;
    std::string m_bytes;
    PortFault m_fault = PortFault::None;
    std::string m_error;
};

}  // namespace

QueuePortOpener::QueuePortOpener(PortOpener& devices) : m_devices(devices) {}

bool QueuePortOpener::IsQueue(std::string_view portName) {
    return portName.size() >= kPrefix.size() &&
           Cp1250::ToUpper(portName.substr(0, kPrefix.size())) == Cp1250::ToUpper(kPrefix);
}

PortOpening QueuePortOpener::Open(std::string_view portName, std::string_view jobTitle) {
    if (!IsQueue(portName)) {
        return m_devices.Open(portName, jobTitle);
    }
    PortOpening opening;
    opening.Device = std::string(portName.substr(kPrefix.size()));
    const std::string queue = Cp1250::ToUtf8(opening.Device);
    Http http = Connect();
    if (!http) {
        opening.Fault = PortFault::ServiceDown;
        return opening;
    }
    if (queue.empty()) {
        opening.Fault = PortFault::QueueMissing;
        return opening;
    }
    if (!Ask(http.get(), IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", Uri("printers", queue),
             {"printer-name"})) {
        auto [fault, words] = Failure(cupsLastError());
        opening.Fault = fault;
        opening.Reason = std::move(words);
        return opening;
    }
    opening.Fault = PortFault::None;
    opening.Sink = std::make_unique<QueueSink>(std::move(http), queue, Cp1250::ToUtf8(jobTitle),
                                               m_stallTimeout);
    return opening;
}

std::vector<std::string> QueuePortOpener::QueuePorts() {
    std::vector<std::string> ports;
    Http http = Connect();
    if (!http) {
        return ports;
    }
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    Ipp answer(cupsDoRequest(http.get(), request, "/"));
    for (ipp_attribute_t* attr = ippFindAttribute(answer.get(), "printer-name", IPP_TAG_NAME);
         attr != nullptr; attr = ippFindNextAttribute(answer.get(), "printer-name", IPP_TAG_NAME)) {
        if (auto name = Cp1250::FromUtf8(ippGetString(attr, 0, nullptr))) {
            ports.push_back(std::string(kPrefix) + *name);
        }
    }
    return ports;
}

}  // namespace vexa
