#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Cp1250.h"
#include "platform/port/MemoryPortOpener.h"
#include "printing/Notifier.h"
#include "records/ClientsDataCls.h"

namespace vexa::test {

// A Windows-1250 text from a UTF-8 literal (the sources are UTF-8), as the program makes its
// own texts.
inline std::string W(std::string_view utf8) {
    return Cs(utf8);
}

// A literal with its NUL bytes.
template <std::size_t N>
std::string B(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

// The 25 bytes every print job starts with, written out from the printer's manual.
inline std::string InitSeries() {
    return B("\x14\x14\x1BY\x01\x14\x14\x1BS\x02\x1BR\x00\x1Bx\x01\x1Bk\x01\x1Bl\x00\x1B+\x5A");
}

class CollectingNotifier : public Notifier {
  public:
    void Warn(const std::string& message) override { Messages.push_back(message); }
    std::vector<std::string> Messages;
};

// The bytes a job sends through a port in memory: print(port, notifier) runs it. A job that is
// refused or warns is no job to compare with.
template <typename Print>
std::string JobBytes(Print print) {
    MemoryPortOpener port;
    CollectingNotifier notes;
    if (!print(port, notes) || !notes.Messages.empty())
        throw std::runtime_error("the expected job was refused");
    return port.Bytes();
}

// Every byte value once, in order.
inline std::string AllBytes() {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    return all;
}

// The holder the print tests print: Czech letters in every text that may carry them.
inline ClientsDataCls SampleHolder() {
    ClientsDataCls holder;
    holder.CisloPasu = "40123456";
    holder.Prijmeni = W("ŠŤASTNÁ");
    holder.Jmeno = W("ŽOFIE");
    holder.rc = "855612/1234";
    holder.MistoNarozeni = W("TŘEBÍČ");
    holder.DatumVydani = "01.02.2020";
    holder.Platnost = "01.02.2030";
    holder.Vydavatel = W("MÚ ŠUMPERK");
    return holder;
}

// A fresh directory removed with everything in it at the end of the test.
class TempDir {
  public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vexa-test-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

// The three hives of a registry, as files in `dir`.
inline std::map<std::string, std::string> Hives(const TempDir& dir) {
    return {{"HKEY_CURRENT_USER", dir / "cu.reg"},
            {"HKEY_USERS", dir / "users.reg"},
            {"HKEY_LOCAL_MACHINE", dir / "lm.reg"}};
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace vexa::test
