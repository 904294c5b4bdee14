#include "records/ArchiveJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "platform/Checksums.h"
#include "platform/SystemError.h"

namespace vexa {
namespace {

constexpr std::string_view kFile = "Archive.db";

void AppendLine(std::string& out, std::string_view head, std::string_view rest) {
    // head: the kind and the slot; rest: "" or " " and what the entry carries.
    char check[16];
    std::snprintf(check, sizeof check, " %08x", static_cast<unsigned>(Crc32(rest, Crc32(head))));
    out.append(head).append(check).append(rest).append("\r\n");
}

std::string IdentityText(const FileIdentity& id) {
    char text[64];
    std::snprintf(text, sizeof text, " %s %llu %016llx", kFile.data(),
                  static_cast<unsigned long long>(id.size),
                  static_cast<unsigned long long>(id.hash));
    return text;
}

template <typename T>
bool Number(std::string_view text, T& value, int base = 10) {
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

bool LowerHex(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// "Archive.db <size> <hash>", as IdentityText writes it.
bool ReadIdentity(std::string_view text, FileIdentity& id) {
    if (!text.starts_with(kFile) || text.size() < kFile.size() + 1 || text[kFile.size()] != ' ')
        return false;
    text.remove_prefix(kFile.size() + 1);
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos)
        return false;
    const std::string_view hash = text.substr(blank + 1);
    return Number(text.substr(0, blank), id.size) && hash.size() == 16 && LowerHex(hash) &&
           Number(hash, id.hash, 16);
}

struct Line {
    char kind = 0;
    bool hasSlot = false;
    std::uint32_t slot = 0;
    std::string_view payload;
    bool hasPayload = false;
};

// One line without its CR LF, when it checks.
bool ReadLine(std::string_view text, Line& line) {
    if (text.empty())
        return false;
    line.kind = text[0];
    std::size_t digits = 1;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    const std::string_view head = text.substr(0, digits);
    line.hasSlot = digits > 1;
    if (line.hasSlot && (!Number(head.substr(1), line.slot) || line.slot == 0xFFFFFFFFu))
        return false;
    if (text.size() < digits + 9 || text[digits] != ' ')
        return false;
    const std::string_view check = text.substr(digits + 1, 8);
    const std::string_view rest = text.substr(digits + 9);
    if (!LowerHex(check) || (!rest.empty() && rest[0] != ' '))
        return false;
    std::uint32_t crc = 0;
    if (!Number(check, crc, 16) || crc != Crc32(rest, Crc32(head)))
        return false;
    line.hasPayload = !rest.empty();
    line.payload = line.hasPayload ? rest.substr(1) : rest;
    switch (line.kind) {
        case '#':
        case '>':
            return !line.hasSlot && line.hasPayload;
        case '+':
        case '=':
            return line.hasSlot && line.hasPayload;
        case '-':
            return line.hasSlot && !line.hasPayload;
        default:
            return false;
    }
}

}  // namespace

void ArchiveJournal::AppendStart(std::string& out, const FileIdentity& continues) {
    AppendLine(out, "#", IdentityText(continues));
}

void ArchiveJournal::AppendFolded(std::string& out, const FileIdentity& into) {
    AppendLine(out, ">", IdentityText(into));
}

void ArchiveJournal::AppendEntry(std::string& out, char kind, std::uint32_t slot,
                                 std::string_view line) {
    char head[16];
    std::snprintf(head, sizeof head, "%c%u", kind, static_cast<unsigned>(slot));
    if (kind == '-') {
        AppendLine(out, head, {});
        return;
    }
    std::string rest;
    rest.reserve(line.size() + 1);
    rest.append(" ").append(line);
    AppendLine(out, head, rest);
}

ArchiveJournal::Contents ArchiveJournal::Read(std::string_view bytes) {
    Contents c;
    std::size_t at = 0;
    int lineNo = 0;
    while (at < bytes.size()) {
        const std::size_t lf = bytes.find('\n', at);
        // A line counts only whole, with its CR LF.
        if (lf == std::string_view::npos || lf == at || bytes[lf - 1] != '\r')
            break;
        const std::string_view text = bytes.substr(at, lf - 1 - at);
        ++lineNo;
        Line line;
        const bool good = ReadLine(text, line);
        if (lineNo == 1) {
            if (!good || line.kind != '#' || !ReadIdentity(line.payload, c.continues)) {
                c.start = Contents::Start::Unknown;
                return c;
            }
            c.start = Contents::Start::Good;
        } else if (!good || line.kind == '#') {
            break;
        } else if (line.kind == '>') {
            FileIdentity into;
            if (ReadIdentity(line.payload, into))
                c.foldedInto = into;
            break;
        } else {
            c.entries.push_back({line.kind, line.slot, line.payload, lineNo});
        }
        at = lf + 1;
        c.goodEnd = at;
    }
    return c;
}

ArchiveJournal::~ArchiveJournal() {
    Close();
}

void ArchiveJournal::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

FileResult ArchiveJournal::WriteAt(const std::string& path, std::uint64_t at,
                                   std::string_view bytes, const NewFiles& how) {
    if (m_fd >= 0 && m_path != path)
        Close();
    if (m_fd < 0) {
        m_path = path;
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            FileResult made = TextFiles::SetUpNewFile(m_fd, path, how);
            if (!made.ok) {
                Remove(path);
                return made;
            }
            // The new name itself must last, or a crash could lose the journal whole.
            const int dir =
                ::open(TextFiles::DirOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
            m_size = 0;
        } else if (errno == EEXIST) {
            m_fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
            struct stat st {};
            if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
                const int err = errno;
                Close();
                return FileResult::Fail(SystemError::Text(err));
            }
            m_size = static_cast<std::uint64_t>(st.st_size);
        } else {
            return FileResult::Fail(SystemError::Text(errno));
        }
    }
    // What follows the last good entry (a line cut short, a fold that never happened) goes.
    if (m_size != at) {
        if (::ftruncate(m_fd, static_cast<off_t>(at)) != 0)
            return FileResult::Fail(SystemError::Text(errno));
        m_size = at;
    }
    std::uint64_t put = 0;
    while (put < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.data() + put, bytes.size() - put, static_cast<off_t>(at + put));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            m_size = at + put;
            return FileResult::Fail(SystemError::Text(err));
        }
        put += static_cast<std::uint64_t>(n);
    }
    m_size = at + put;
    if (::fdatasync(m_fd) != 0)
        return FileResult::Fail(SystemError::Text(errno));
    return FileResult::Ok();
}

FileResult ArchiveJournal::Remove(const std::string& path) {
    Close();
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return FileResult::Fail(SystemError::Text(errno));
    return FileResult::Ok();
}

}  // namespace vexa
