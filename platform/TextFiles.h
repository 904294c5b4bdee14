#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vexa {

// What a file operation did: ok, or the reason it failed, as Windows-1250 text for the user
// (the system's words in the user's language, see SystemError).
struct FileResult {
    bool ok = true;
    std::string error;

    static FileResult Ok() { return {}; }
    static FileResult Fail(std::string why) { return {false, std::move(why)}; }
};

// How the program makes the files and directories it creates; a file that exists already keeps
// its mode and group when it is replaced.
struct NewFiles {
    int fileMode = -1;            // -1: 0666 less the umask
    int dirMode = -1;             // -1: 0777 less the umask
    bool directoryGroup = false;  // a new file takes the group of its directory

    // The user's own data: files 0600, folders 0700.
    static NewFiles Private() { return {0600, 0700, false}; }
    // A directory a group of users shares (one the installation names): files 0660 with the
    // directory's group, folders 0770.
    static NewFiles Shared() { return {0660, 0770, true}; }
};

// The text-file operations behind the archive. Paths are native (UTF-8 on Linux); contents
// are bytes.
class TextFiles {
  public:
    // True unless nothing is at the path (a directory or an unreadable file counts).
    static bool Exists(const std::string& path);
    // Reads the whole file into `contents`.
    static FileResult ReadAll(const std::string& path, std::string& contents);
    // Reads the whole file into one block of its size (one read() when the file does not grow
    // meanwhile), not initialised beforehand.
    static FileResult ReadAll(const std::string& path, std::unique_ptr<char[]>& bytes,
                              std::size_t& size);
    // Replaces the file with `contents`: writes a temporary file in the same directory,
    // flushes it to the disk and renames it over the old one. On failure the old file stays
    // as it was and no temporary file is left behind.
    static FileResult WriteAtomic(const std::string& path, std::string_view contents);
    // Creates a directory and its parents when missing, those it creates with `how.dirMode`.
    static FileResult MakeDirs(const std::string& path, const NewFiles& how = {});
    // Gives a file just created (open as `fd`, at `path`) the mode and group of `how`. A group
    // that cannot be given (the user is not its member) is no failure.
    static FileResult SetUpNewFile(int fd, const std::string& path, const NewFiles& how);
    // The directory part of a path ("." when it has none).
    static std::string DirOf(const std::string& path);

    // Calls `line(text)` for every line of `contents`. Lines end at LF; a CR before the LF is
    // not part of the line. A last line without a line end counts; nothing follows a final
    // line end.
    template <typename F>
    static void ForEachLine(std::string_view contents, F&& line) {
        std::size_t pos = 0;
        while (pos < contents.size()) {
            std::size_t end = contents.find('\n', pos);
            std::size_t next = end == std::string_view::npos ? contents.size() : end + 1;
            if (end == std::string_view::npos)
                end = contents.size();
            std::size_t stop = end;
            if (stop > pos && end < contents.size() && contents[stop - 1] == '\r')
                --stop;
            line(contents.substr(pos, stop - pos));
            pos = next;
        }
    }
};

}  // namespace vexa
