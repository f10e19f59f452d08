// The program's own platform: the wide runtime calls of the Windows C runtime.
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <new>
#include <string>

#include "platform/platform.h"

extern "C" {
// The runtime's wide command-line parser; it is exported by the C runtime but declared in no
// public header.
struct RuntimeStartupInfo {
    int new_mode;
};
int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment, int expand_wildcards,
                           RuntimeStartupInfo* startup);
}

namespace tarvik::platform {
namespace {

// The catalogue's "%s" means a wide string, as in the runtime's own wide printf family; the
// C99 family the toolchain substitutes reads "%s" there as a narrow string, but both read
// "%ls" as wide.
std::wstring runtime_format(const wchar_t* format) {
    std::wstring text(format);
    std::size_t placeholder = text.find(L"%s");
    if (placeholder != std::wstring::npos) {
        text.replace(placeholder, 2, L"%ls");
    }
    return text;
}

HANDLE handle_of(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

bool describe(HANDLE handle, BY_HANDLE_FILE_INFORMATION& information) {
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &information) != 0;
}

// A file's volume, and its index on that volume.
FileIdentity identity_from(const BY_HANDLE_FILE_INFORMATION& information) {
    return FileIdentity{
        information.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

}  // namespace

void select_locale() {
    _wsetlocale(LC_ALL, L"Japanese");
}

Arguments start_process(int, char**) {
    select_locale();
    int count = 0;
    wchar_t** vector = nullptr;
    wchar_t** environment = nullptr;
    RuntimeStartupInfo startup{0};
    // 1: each argument holding a wildcard pattern is replaced by the names it matches.
    __wgetmainargs(&count, &vector, &environment, 1, &startup);
    return arguments_from(std::vector<std::wstring>(vector, vector + count));
}

File open_for_reading(const std::wstring& path, std::optional<FileIdentity>* identity) {
    File file(_wfopen(path.c_str(), L"rb"));
    struct _stati64 status;
    if (file &&
        (_fstati64(_fileno(file.get()), &status) != 0 || (status.st_mode & _S_IFMT) == _S_IFDIR)) {
        return nullptr;
    }
    if (file && identity != nullptr) {
        *identity = identity_of(file.get());
    }
    return file;
}

File open_for_writing(const std::wstring& path, const FileIdentity* keep) {
    if (keep != nullptr && names_file(path, *keep)) {
        return nullptr;
    }
    return File(_wfopen(path.c_str(), L"wb"));
}

std::optional<FileIdentity> identity_of(std::FILE* file) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!describe(handle_of(file), information)) {
        return std::nullopt;
    }
    return identity_from(information);
}

bool names_file(const std::wstring& path, const FileIdentity& identity) {
    // Opened for no access at all, so neither sharing modes nor a folder stand in the way.
    HANDLE named =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION information;
    bool same = describe(named, information) && identity_from(information) == identity;
    if (named != INVALID_HANDLE_VALUE) {
        CloseHandle(named);
    }
    return same;
}

std::int64_t file_size(std::FILE* file) {
    struct _stati64 status;
    if (_fstati64(_fileno(file), &status) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(status.st_size);
}

void print_formatted(Stream stream, const wchar_t* format, const wchar_t* arg) try {
    std::FILE* target = stream == Stream::output ? stdout : stderr;
    std::fwprintf(target, runtime_format(format).c_str(), arg != nullptr ? arg : L"");
} catch (const std::bad_alloc&) {
    // Nothing can be shown without memory, and console output never stops the program.
}

}  // namespace tarvik::platform
