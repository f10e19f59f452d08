// The one seam between the program and its operating system: arguments, locale, files and
// console output. Everything above it is the same on every platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::platform {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
// A stream that is closed on every way out of the scope that owns it.
using File = std::unique_ptr<std::FILE, FileCloser>;

// The user's command line as wide strings, owned together with the array that points into them.
struct Arguments {
    std::vector<std::wstring> text;
    std::vector<wchar_t*> pointers;  // one per entry of text, then a null pointer

    std::int32_t count() const { return static_cast<std::int32_t>(text.size()); }
    wchar_t** vector() { return pointers.data(); }
};

// Arguments owning the given texts, with the array that points into them.
inline Arguments arguments_from(std::vector<std::wstring> text) {
    Arguments arguments{std::move(text), {}};
    for (std::wstring& argument : arguments.text) {
        arguments.pointers.push_back(argument.data());
    }
    arguments.pointers.push_back(nullptr);
    return arguments;
}

// Readies the process and obtains the arguments it was started with; entry 0 is the program's
// name. The locale is selected first, since it decides how the arguments become wide text.
Arguments start_process(int argc, char** argv);

// Selects the locale under which texts and paths reach the console and the file system.
void select_locale();

// What tells a file from every other, whichever name or link leads to it: its device and
// inode, or its volume and file index.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Opens a file for binary reading; a directory or a name that cannot be opened gives null.
// When identity is given, it receives the identity of the file opened, if that can be told.
File open_for_reading(const std::wstring& path, std::optional<FileIdentity>* identity = nullptr);

// Creates a file, or empties an existing one, for binary writing; null when that fails. When
// keep is given, a path that leads to that file (through a link, say) is refused instead, since
// emptying it would lose the data being read.
File open_for_writing(const std::wstring& path, const FileIdentity* keep = nullptr);

// The identity of an open file, or nullopt when it cannot be told.
std::optional<FileIdentity> identity_of(std::FILE* file);

// Whether path leads to the file with the given identity.
bool names_file(const std::wstring& path, const FileIdentity& identity);

// The size in bytes of an open file, or -1 when it cannot be told.
std::int64_t file_size(std::FILE* file);

enum class Stream { output, error };

// Prints a catalogue format on the given standard stream, its one "%s" filled with arg
// (null for a format without one). The result of the write is deliberately not examined.
void print_formatted(Stream stream, const wchar_t* format, const wchar_t* arg);

// Closes a stream that was written, reporting whether everything written reached the file.
// A destructor cannot report a failed flush, so the success path closes explicitly; and some
// runtimes' fclose drops the error of its final flush, so that flush is made first.
inline bool close_file(File& file) {
    bool healthy = std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
    return std::fclose(file.release()) == 0 && healthy;
}

}  // namespace tarvik::platform
