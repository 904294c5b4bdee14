#include "printing/GuideShift.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "platform/Numbers.h"
#include "settings/Config.h"

namespace vexa {

namespace {

int ClampScroll(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int>(
        std::clamp(value, double{GuideShift::kMinScroll}, double{GuideShift::kMaxScroll}));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

int GuideShift::HorzShiftFromScroll(int x) {
    // Scroll values stay within -100..100, so the rounded value always fits.
    return -static_cast<int>(std::nearbyint(x / 254.0 * 60.0));
}

int GuideShift::VertShiftFromScroll(int y) {
    return -static_cast<int>(std::nearbyint(y / 254.0 * 360.0));
}

void GuideShift::StoreShift(Config& config, int x, int y) {
    config.Set(cfg::HorzShift, std::to_string(HorzShiftFromScroll(x)));
    config.Set(cfg::VertShift, std::to_string(VertShiftFromScroll(y)));
}

int GuideShift::ScrollXFromShift(double horzShift) {
    return ClampScroll(-std::floor(horzShift * 254.0 / 60.0));
}

int GuideShift::ScrollYFromShift(double vertShift) {
    return ClampScroll(-std::floor(vertShift * 254.0 / 360.0));
}

int GuideShift::ScrollXFromSettings(const Config& config) {
    return ScrollXFromShift(config.Number(cfg::HorzShift));
}

int GuideShift::ScrollYFromSettings(const Config& config) {
    return ScrollYFromShift(config.Number(cfg::VertShift));
}

bool GuideShift::ParseMm(std::string& text, const LocaleDecimal& locale) {
    std::string result;
    if (locale.Parse(text)) {
        result = text;
    } else {
        // A number followed by a unit: the unit is what follows the last digit.
        std::size_t end = text.size();
        while (end > 0 && !IsDigit(text[end - 1])) {
            --end;
        }
        const std::string_view unit = TrimSpaces(std::string_view(text).substr(end));
        const std::string number = text.substr(0, end);
        // What stands before the unit must itself be a number (or nothing, read as 0).
        std::optional<double> value = 0.0;
        if (!TrimSpaces(number).empty()) {
            value = locale.Parse(number);
        }
        if (!value) {
            return false;
        }
        if (unit == "mm") {
            result = number;
        } else if (unit == "cm") {
            result = locale.Format(*value * 10.0);
        } else {
            return false;
        }
    }
    text = result.empty() ? "0" : result;
    return true;
}

std::int16_t GuideShift::MmToScrollValue(std::string& text, const LocaleDecimal& locale) {
    const double tenths = locale.Parse(text).value_or(0.0) * 10.0;
    int value = 0;
    if (tenths > kMaxScroll) {
        value = kMaxScroll;
    } else if (tenths < kMinScroll) {
        value = kMinScroll;
    } else {
        value = static_cast<int>(std::nearbyint(tenths));  // halves to even
    }
    text = locale.Format(value / 10.0, 1);
    return static_cast<std::int16_t>(value);
}

std::string GuideShift::ScrollValueToText(int value, const LocaleDecimal& locale) {
    return locale.Format(value / 10.0, 1) + " mm";
}

}  // namespace vexa
