#include "platform/SystemError.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/Cp1250.h"

namespace vexa {
namespace {

// `text` from the character set `codeset` to Windows-1250, or nothing when a character does
// not fit.
std::optional<std::string> ToCp1250(std::string_view text, const char* codeset,
                                    const char* target = "CP1250") {
    iconv_t cd = ::iconv_open(target, codeset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string in(text);
    std::string out(in.size() * 2 + 16, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string Untranslated(int err) {
    if (locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0))) {
        std::string text = ::strerror_l(err, c);
        ::freelocale(c);
        return text;
    }
    return "errno " + std::to_string(err);
}

}  // namespace

std::string SystemError::LocaleText(std::string_view text) {
    const char* codeset = ::nl_langinfo(CODESET);
    if (std::string_view(codeset) == "UTF-8")
        return Cp1250::FromUtf8Lossy(text);
    if (auto converted = ToCp1250(text, codeset, "CP1250//TRANSLIT"))
        return *converted;
    std::string ascii(text);
    for (char& c : ascii)
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '?';
    return ascii;
}

std::string SystemError::Text(int err) {
    const int saved = errno;
    std::optional<std::string> text;
    // The environment's locale, whatever the process itself has set: the translation comes
    // in that locale's character set and is converted from it.
    if (locale_t user = ::newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0))) {
        text = ToCp1250(::strerror_l(err, user), ::nl_langinfo_l(CODESET, user));
        ::freelocale(user);
    }
    std::string result = text ? *text : Untranslated(err);
    errno = saved;
    return result;
}

}  // namespace vexa
