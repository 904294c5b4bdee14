// vexa-preview: shows what a captured print job (the port set to a file) puts on the paper.
//
//   vexa-preview JOB                 one line per text run: place in mm, text, pitch
//   vexa-preview JOB -o OUT.png      the preview picture at real size (also OUT.pdf)
//
// Exit status: 0 when the whole stream was read, 1 when it holds something the printer would
// not understand (each place is named by its byte offset; no picture is written), 2 for a
// wrong command line, an input that cannot be read or an output that cannot be written.
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/Cp1250.h"
#include "printing/PageInterpreter.h"
#include "printing/forms/PageExport.h"
#include "printing/forms/PagePainter.h"

namespace {

using vexa::Cp1250;

// A print job of this program is a few hundred bytes; anything this large is not one.
constexpr std::uintmax_t kMaxInput = 1u << 20;

constexpr int kUnreadable = 1;
constexpr int kFailed = 2;

std::string Utf8(std::string_view cp1250) {
    return Cp1250::ToUtf8(cp1250);
}

int Usage() {
    std::fputs(
        "použití: vexa-preview TISKOVÁ_DATA [-o VÝSTUP.png|VÝSTUP.pdf] [--dpi N]\n"
        "  bez -o vypíše každý text stránky s polohou v mm a roztečí;\n"
        "  s -o uloží obrázek stránky ve skutečné velikosti (PNG v N dpi, výchozí 300).\n",
        stderr);
    return kFailed;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "vexa-preview: %s\n", message.c_str());
    return kFailed;
}

bool EndsWith(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    const std::string tail = Cp1250::ToUpper(text.substr(text.size() - ending.size()));
    return tail == Cp1250::ToUpper(ending);
}

std::string Mm(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%7.2f mm", value);
    return text;
}

void List(const vexa::PrintedJob& job) {
    for (std::size_t sheet = 0; sheet < job.Pages.size(); ++sheet) {
        std::printf("strana %zu\n", sheet + 1);
        for (const vexa::TextRun& run : job.Pages[sheet].Runs) {
            std::string line = "  x " + Mm(run.LeftMm()) + "  y " + Mm(run.TopMm()) + "  \"" +
                               Utf8(run.Text) + "\"  " + std::to_string(run.Cpi()) + " cpi";
            if (run.Pitch == 0) {
                line += " (výchozí)";
            }
            if (run.Reversed) {
                line += ", obráceně";
            }
            if (!vexa::PrintedPage::Inside(run)) {
                line += ", mimo stránku";
            }
            std::printf("%s\n", line.c_str());
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string input, output;
    int dpi = vexa::PageExport::kPngDpi;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "-o" || arg == "--dpi") && i + 1 < argc) {
            if (arg == "-o") {
                output = argv[++i];
            } else {
                char* end = nullptr;
                const long value = std::strtol(argv[++i], &end, 10);
                if (*end != '\0' || value < 25 || value > vexa::PageExport::kMaxDpi) {
                    return Fail("--dpi chce číslo od 25 do " +
                                std::to_string(vexa::PageExport::kMaxDpi));
                }
                dpi = static_cast<int>(value);
            }
        } else if (arg == "-h" || arg == "--help" || !input.empty() || arg.empty() ||
                   (arg.front() == '-' && arg != "-")) {
            return Usage();
        } else {
            input = arg;
        }
    }
    if (input.empty() ||
        (!output.empty() && !EndsWith(output, ".png") && !EndsWith(output, ".pdf"))) {
        return Usage();
    }

    // Only a plain file: a device or a pipe might never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(input, error)) {
        return Fail(
            input + ": " +
            (std::filesystem::exists(input, error) ? "není obyčejný soubor" : "soubor neexistuje"));
    }
    const std::uintmax_t size = std::filesystem::file_size(input, error);
    if (error || size > kMaxInput) {
        return Fail(input + ": " +
                    (error ? error.message() : "soubor je větší než 1 MiB, to není tisková úloha"));
    }
    std::ifstream in(input, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.size() > kMaxInput) {
        return Fail(input + ": soubor nelze přečíst");
    }

    const vexa::PrintedJob job = vexa::PageInterpreter::Read(bytes);
    if (output.empty()) {
        List(job);
    }
    if (!job.Readable()) {
        for (const vexa::StreamProblem& problem : job.Problems) {
            std::fprintf(stderr, "vexa-preview: %s: %s\n", input.c_str(),
                         Utf8(problem.Message).c_str());
        }
        if (job.ProblemCount > job.Problems.size()) {
            std::fprintf(stderr, "vexa-preview: %s: nečitelných míst celkem %zu\n", input.c_str(),
                         job.ProblemCount);
        }
        return kUnreadable;
    }
    if (output.empty()) {
        return 0;
    }

    // Drawing needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const vexa::FileResult saved = EndsWith(output, ".pdf")
                                       ? vexa::PageExport::WritePdf(job, output)
                                       : vexa::PageExport::WritePng(job, output, dpi);
    if (!saved.ok) {
        return Fail(output + ": " + saved.error);
    }
    if (job.Pages.size() > vexa::PagePainter::kMaxSheets) {
        std::fprintf(stderr, "vexa-preview: %s: obrázek ukazuje prvních %zu listů z %zu\n",
                     output.c_str(), vexa::PagePainter::kMaxSheets, job.Pages.size());
    }
    return 0;
}
