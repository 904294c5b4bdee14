#include "platform/port/DevicePortOpener.h"

#include "platform/SystemError.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/Registry.h"
#include "platform/port/DeviceSink.h"

namespace vexa {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The name of the group that owns `path` (its number when the group has no name), "" when the
// path cannot be looked at.
std::string OwningGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    if (const group* g = ::getgrgid(st.st_gid); g != nullptr && g->gr_name != nullptr) {
        return Cp1250::FromUtf8(g->gr_name).value_or(std::to_string(st.st_gid));
    }
    return std::to_string(st.st_gid);
}

}  // namespace

DevicePortOpener::DevicePortOpener(RegistryRoot* registry, std::string devRoot)
    : m_registry(registry), m_devRoot(std::move(devRoot)) {
    while (m_devRoot.size() > 1 && m_devRoot.back() == '/') {
        m_devRoot.pop_back();
    }
}

std::string DevicePortOpener::BuiltInDevice(std::string_view portName) const {
    const std::string name = Lower(portName);
    if (name.size() == 4 && name.compare(0, 3, "lpt") == 0 && name[3] >= '1' && name[3] <= '3') {
        const std::string number(1, static_cast<char>(name[3] - 1));
        const std::string parallel = m_devRoot + "/lp" + number;
        const std::string usb = m_devRoot + "/usb/lp" + number;
        if (!Exists(parallel) && Exists(usb)) {
            return usb;
        }
        return parallel;
    }
    if (name == "com1" || name == "com2") {
        return m_devRoot + "/ttyS" + std::string(1, static_cast<char>(name[3] - 1));
    }
    return {};
}

std::string DevicePortOpener::DeviceFor(std::string_view portName) {
    if (m_registry != nullptr && !portName.empty()) {
        if (auto key = m_registry->OpenKey(kMappingKey)) {
            const std::string wanted = Lower(portName);
            for (int i = 0; i < key->ValueCount(); ++i) {
                if (Lower(key->ValueName(i)) != wanted) {
                    continue;
                }
                const std::string mapped = key->ValueData(i);
                if (!mapped.empty() && mapped.front() == '/') {
                    return mapped;
                }
                if (!mapped.empty()) {
                    return BuiltInDevice(mapped);
                }
                break;  // an empty value maps nothing
            }
        }
    }
    if (!portName.empty() && portName.front() == '/') {
        return std::string(portName);
    }
    return BuiltInDevice(portName);
}

bool DevicePortOpener::UnderDevRoot(const std::string& path) const {
    return path.size() > m_devRoot.size() && path.compare(0, m_devRoot.size(), m_devRoot) == 0 &&
           path[m_devRoot.size()] == '/';
}

PortOpening DevicePortOpener::Open(std::string_view portName, std::string_view /*jobTitle*/) {
    PortOpening result;
    result.Device = DeviceFor(portName);
    if (result.Device.empty()) {
        result.Reason = Cs("neznámý název portu");
        return result;
    }
    // Opened without waiting for the modem lines or a reader, and kept non-blocking so that
    // the sink bounds every wait; a device is never created.
    int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK;
    if (!UnderDevRoot(result.Device)) {
        flags |= O_CREAT;
    }
    const int fd = ::open(result.Device.c_str(), flags, 0666);
    if (fd < 0) {
        const int err = errno;
        result.Reason = SystemError::Text(err);
        if (err == EACCES || err == EPERM) {
            // Printers belong to a group (lp on Debian) that a clerk is often not in.
            result.Fault = PortFault::NoRights;
            result.Group = OwningGroup(result.Device);
        }
        return result;
    }
    auto fail = [&](int err) {
        result.Reason = SystemError::Text(err);
        ::close(fd);
        return std::move(result);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return fail(errno);
    }
    DeviceSink::Kind kind = DeviceSink::Kind::Device;
    if (S_ISREG(st.st_mode)) {
        kind = DeviceSink::Kind::File;
        if (::ftruncate(fd, 0) != 0) {
            return fail(errno);
        }
    }
    if (::isatty(fd)) {
        kind = DeviceSink::Kind::Serial;
        termios tio{};
        if (::tcgetattr(fd, &tio) != 0) {
            return fail(errno);
        }
        ::cfmakeraw(&tio);  // no output processing: 0A is not turned into 0D 0A
        tio.c_cflag |= CLOCAL;
        if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
            return fail(errno);
        }
    }
    result.Sink = std::make_unique<DeviceSink>(fd, kind, m_stallTimeout);
    return result;
}

}  // namespace vexa
