#include "printing/ChildrenPageJob.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/Cp1250.h"
#include "printing/PositionPlan.h"
#include "printing/PrintJob.h"
#include "printing/PrintMessages.h"
#include "printing/Printer.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"

namespace vexa {

namespace {

enum class Pitch { None, Cpi10, Cpi12, Cpi15 };

// One child as it will be printed: the first row with number and name, perhaps a continuation
// row, and the birth date and sex on the last row written.
struct ChildLines {
    int Row = 0;
    std::string First;
    std::optional<int> ContinuationRow;
    std::string Continuation;
    std::string BirthDate;
    std::string Sex;
};

}  // namespace

ChildrenPageJob::ChildrenPageJob(const Config& config, PortOpener& opener, Notifier& notifier)
    : m_config(config), m_opener(opener), m_notifier(notifier) {}

bool ChildrenPageJob::PrintChildrenPage(const ClientsDataCls& record) {
    return Print(record, m_config.Number(cfg::SmerTisku) != 0.0);
}

bool ChildrenPageJob::PrintChildrenNormal(const ClientsDataCls& record) {
    return Print(record, false);
}

bool ChildrenPageJob::PrintChildrenReverse(const ClientsDataCls& record) {
    return Print(record, true);
}

bool ChildrenPageJob::Print(const ClientsDataCls& record, bool reverse) {
    const Config& c = m_config;
    using M = PrintMessages;
    PositionPlan plan;

    // The pitch and what goes with it: the longest name that fits its column (all about 1.6
    // inch) and the row distance, which shrinks with the letters. FontSize is compared exactly.
    const std::string& fontSize = c.Text(cfg::FontSize);
    Pitch pitch = Pitch::None;
    std::size_t maxNameLen = 0;
    double rowStep = std::nearbyint(c.Number(cfg::TabVert));  // halves to even
    if (fontSize == "10 cpi") {
        pitch = Pitch::Cpi10;
        maxNameLen = 16;
    } else if (fontSize == "12 cpi") {
        pitch = Pitch::Cpi12;
        maxNameLen = 19;
        rowStep = std::nearbyint(rowStep / 1.2);
    } else if (fontSize == "15 cpi") {
        pitch = Pitch::Cpi15;
        maxNameLen = 24;
        rowStep = std::nearbyint(rowStep / 1.5);
    }

    const char* vertName = reverse ? "DetiVertOS" : "DetiVertNS";
    const double firstRow = std::max(0.0, c.Number(reverse ? cfg::DetiVertOS : cfg::DetiVertNS));
    const int vert = plan.Place(firstRow, M::FromSettings(vertName));
    Columns col;
    if (reverse) {
        col.Sex = plan.Place(c.Number(cfg::DetiHorzOS), M::FromSettings("DetiHorzOS"));
        col.Name = plan.Place(col.Sex + c.Number(cfg::DetiHorzTab2OS),
                              M::FromSettings("DetiHorzOS a DetiHorzTab2OS"));
        col.BirthDate = plan.Place(col.Sex + c.Number(cfg::DetiHorzTab1OS),
                                   M::FromSettings("DetiHorzOS a DetiHorzTab1OS"));
    } else {
        col.Name = plan.Place(c.Number(cfg::DetiHorzNS), M::FromSettings("DetiHorzNS"));
        col.BirthDate = plan.Place(col.Name + c.Number(cfg::DetiHorzTab1NS),
                                   M::FromSettings("DetiHorzNS a DetiHorzTab1NS"));
        col.Sex = plan.Place(col.Name + c.Number(cfg::DetiHorzTab2NS),
                             M::FromSettings("DetiHorzNS a DetiHorzTab2NS"));
    }

    // Lay out every child first; `rows` counts the rows used so far.
    std::vector<ChildLines> lines;
    const int children = record.PocetDeti();
    lines.reserve(static_cast<std::size_t>(children));
    int rows = 0;
    for (int i = 0; i < children; ++i) {
        const DetiItem& child = record.Child(i);
        ChildLines line;
        line.Row = rows++;
        const std::string number = std::to_string(i + 1) + ". ";
        const std::string whose = " " + std::to_string(i + 1) + ". dítěte";  // UTF-8
        const std::string name = plan.Text(child.Jmeno, "Jméno" + whose);
        const std::size_t space = name.rfind(' ');
        if (name.size() > maxNameLen && space != std::string::npos) {
            // Split once at the last space; the continuation keeps that space after two more,
            // so it starts three spaces in. It is not split again.
            line.First = number + name.substr(0, space);
            line.ContinuationRow = rows++;
            line.Continuation = "  " + name.substr(space);
        } else {
            line.First = number + name;  // fits, or has no space to split at: one row
        }
        line.BirthDate = plan.Text(child.rok, "Datum narození" + whose);
        line.Sex = plan.Text(child.sex, "Pohlaví" + whose);
        lines.push_back(std::move(line));
    }

    // Row r lies r row distances below (normal) or above (reverse) the first. The first row
    // that cannot be sent refuses the list, unless a column already failed (the plan keeps the
    // first problem).
    std::vector<int> rowPositions(static_cast<std::size_t>(rows));
    const double direction = reverse ? -1.0 : 1.0;
    for (int r = 0; r < rows; ++r) {
        const double value = r == 0 ? vert : vert + direction * r * rowStep;
        const auto position = PositionPlan::Round(value);
        if (!position) {
            plan.Fail(M::ChildrenDoNotFit(children, rows, r + 1,
                                          std::string(vertName) + " a TabVert", value));
            break;
        }
        rowPositions[static_cast<std::size_t>(r)] = *position;
    }

    return RunPrintJob(
        m_config, m_opener, m_notifier, plan, Cs("Vexa: strana dětí"), [&](Printer& printer) {
            switch (pitch) {
                case Pitch::Cpi10:
                    printer.Select10Cpi();
                    break;
                case Pitch::Cpi12:
                    printer.Select12Cpi();
                    break;
                case Pitch::Cpi15:
                    printer.Select15Cpi();
                    break;
                case Pitch::None:
                    break;
            }
            // Every row is placed absolutely; the job sends no line ends. The texts are converted.
            for (const ChildLines& line : lines) {
                printer.SetVertPos(rowPositions[static_cast<std::size_t>(line.Row)]);
                printer.SetHorzPos(col.Name);
                printer.PrintText(line.First);
                if (line.ContinuationRow) {
                    printer.SetVertPos(
                        rowPositions[static_cast<std::size_t>(*line.ContinuationRow)]);
                    printer.SetHorzPos(col.Name);
                    printer.PrintText(line.Continuation);
                }
                printer.SetHorzPos(col.BirthDate);
                printer.PrintText(line.BirthDate);
                printer.SetHorzPos(col.Sex);
                printer.PrintText(line.Sex);
            }
        });
}

}  // namespace vexa
