// POSIX stand-ins for the wide runtime calls the program is written against.
//
// Paths arrive as bytes. Each byte sequence that decodes under the locale (and encodes back to
// the same bytes) becomes its wide character; every other byte becomes a reserved code unit,
// ESCAPE_BASE + byte, which turns back into that byte whenever the text is opened or printed.
// So every name the shell can pass is reachable and echoed byte for byte.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <optional>

#include "platform/platform.h"

namespace tarvik::platform {
namespace {

constexpr wchar_t ESCAPE_BASE = 0xDC00;
constexpr char UNPRINTABLE = '?';

bool is_escaped_byte(wchar_t c) {
    return c >= ESCAPE_BASE && c <= ESCAPE_BASE + 0xFF;
}

// Whether wc encodes back to exactly the bytes it was decoded from.
bool encodes_back(wchar_t wc, const char* bytes, std::size_t length) {
    char buffer[MB_LEN_MAX];
    std::mbstate_t state{};
    std::size_t written = std::wcrtomb(buffer, wc, &state);
    return written == length && std::memcmp(buffer, bytes, length) == 0;
}

std::wstring decode(const char* bytes) {
    std::wstring text;
    std::size_t remaining = std::strlen(bytes);
    std::mbstate_t state{};
    while (remaining > 0) {
        wchar_t wc = 0;
        std::size_t used = std::mbrtowc(&wc, bytes, remaining, &state);
        bool decoded =
            used != 0 && used <= remaining && !is_escaped_byte(wc) && encodes_back(wc, bytes, used);
        if (!decoded) {
            wc = ESCAPE_BASE + static_cast<unsigned char>(*bytes);
            used = 1;
            state = std::mbstate_t{};
        }
        text.push_back(wc);
        bytes += used;
        remaining -= used;
    }
    return text;
}

// The bytes of a wide text under the locale. A character the locale cannot encode makes a
// path unusable (nullopt), but is shown as UNPRINTABLE on the console.
std::optional<std::string> encode(const std::wstring& text, bool for_console) {
    std::string bytes;
    bytes.reserve(text.size());
    std::mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (wchar_t wc : text) {
        if (is_escaped_byte(wc)) {
            bytes.push_back(static_cast<char>(wc - ESCAPE_BASE));
            continue;
        }
        std::size_t written = std::wcrtomb(buffer, wc, &state);
        if (written == static_cast<std::size_t>(-1)) {
            if (!for_console) {
                return std::nullopt;
            }
            bytes.push_back(UNPRINTABLE);
            state = std::mbstate_t{};
            continue;
        }
        bytes.append(buffer, written);
    }
    return bytes;
}

// A single-byte character set (the C and POSIX locales among them) cannot hold Japanese text.
bool locale_holds_japanese() {
    return MB_CUR_MAX > 1;
}

FileIdentity identity_from(const struct stat& status) {
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino)};
}

// What fopen gives a file it creates; the umask takes its share.
constexpr mode_t CREATED_MODE = 0666;

// Opens an existing name (or the missing file a link leads to) for writing and empties it, as
// fopen's "wb" would, unless it turns out to be the kept file: then it is left as it was.
int open_existing_other_than(const char* name, const FileIdentity& keep) {
    int descriptor = open(name, O_WRONLY | O_CREAT, CREATED_MODE);
    if (descriptor < 0) {
        return -1;
    }
    struct stat status;
    bool refused = fstat(descriptor, &status) != 0 || identity_from(status) == keep;
    // Only a regular file has a length to cut; a device or a pipe is written as it is.
    if (refused || (S_ISREG(status.st_mode) && ftruncate(descriptor, 0) != 0)) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

void select_locale() {
    if (std::setlocale(LC_ALL, "") != nullptr && locale_holds_japanese()) {
        return;
    }
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            return;
        }
    }
}

Arguments start_process(int argc, char** argv) {
    // A reader that goes away (`tarvik ... | head -1`) must not end the work half done: writes
    // to the closed pipe then fail, and console write results are never looked at.
    std::signal(SIGPIPE, SIG_IGN);
    select_locale();
    std::vector<std::wstring> text;
    for (int i = 0; i < argc; ++i) {
        text.push_back(decode(argv[i]));
    }
    return arguments_from(std::move(text));
}

File open_for_reading(const std::wstring& path, std::optional<FileIdentity>* identity) {
    std::optional<std::string> name = encode(path, false);
    if (!name) {
        return nullptr;
    }
    File file(std::fopen(name->c_str(), "rb"));
    struct stat status;
    if (file && (fstat(fileno(file.get()), &status) != 0 || S_ISDIR(status.st_mode))) {
        return nullptr;
    }
    if (file && identity != nullptr) {
        *identity = identity_from(status);
    }
    return file;
}

File open_for_writing(const std::wstring& path, const FileIdentity* keep) {
    std::optional<std::string> name = encode(path, false);
    if (!name) {
        return nullptr;
    }
    if (keep == nullptr) {
        return File(std::fopen(name->c_str(), "wb"));
    }
    // A name that did not exist cannot lead to the kept file, so the usual case is one call
    // ("x": create only a file that is not there).
    File file(std::fopen(name->c_str(), "wbx"));
    if (file || errno != EEXIST) {
        return file;
    }
    int descriptor = open_existing_other_than(name->c_str(), *keep);
    if (descriptor < 0) {
        return nullptr;
    }
    file.reset(fdopen(descriptor, "wb"));
    if (!file) {
        close(descriptor);
    }
    return file;
}

std::optional<FileIdentity> identity_of(std::FILE* file) {
    struct stat status;
    if (fstat(fileno(file), &status) != 0) {
        return std::nullopt;
    }
    return identity_from(status);
}

bool names_file(const std::wstring& path, const FileIdentity& identity) {
    std::optional<std::string> name = encode(path, false);
    struct stat status;
    return name && stat(name->c_str(), &status) == 0 && identity_from(status) == identity;
}

std::int64_t file_size(std::FILE* file) {
    struct stat status;
    if (fstat(fileno(file), &status) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(status.st_size);
}

void print_formatted(Stream stream, const wchar_t* format, const wchar_t* arg) try {
    std::wstring text(format);
    std::size_t placeholder = text.find(L"%s");
    if (placeholder != std::wstring::npos) {
        text.replace(placeholder, 2, arg != nullptr ? arg : L"");
    }
    std::string bytes = *encode(text, true);
    std::FILE* target = stream == Stream::output ? stdout : stderr;
    std::fwrite(bytes.data(), 1, bytes.size(), target);
} catch (const std::bad_alloc&) {
    // Nothing can be shown without memory, and console output never stops the program.
}

}  // namespace tarvik::platform
