#include "printing/PrintedJob.h"

namespace vexa {

namespace {

constexpr double kMmPerInch = 25.4;
// A run may end this close to an edge and still be inside (against rounding of the sums).
constexpr double kSlackMm = 1e-9;

}  // namespace

double TextRun::TopMm() const {
    return Vert * kMmPerInch / 360.0;
}

double TextRun::LeftMm() const {
    return Horz * kMmPerInch / 60.0;
}

double TextRun::CellWidthMm() const {
    return kMmPerInch / Cpi();
}

double TextRun::WidthMm() const {
    return static_cast<double>(Text.size()) * CellWidthMm();
}

bool PrintedPage::Inside(const TextRun& run) {
    return run.LeftMm() + run.WidthMm() <= kWidthMm + kSlackMm &&
           run.TopMm() + TextRun::kCellHeightMm <= kHeightMm + kSlackMm;
}

std::vector<TextRun> PrintedPage::Beyond() const {
    std::vector<TextRun> beyond;
    for (const TextRun& run : Runs) {
        if (!Inside(run)) {
            beyond.push_back(run);
        }
    }
    return beyond;
}

}  // namespace vexa
