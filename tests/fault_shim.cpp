// A library the black-box tests preload into the program to make one named file misbehave the
// way real files do: its reads fail after a number of bytes, its status reports another size
// (as when a file grows or shrinks while it is being read), or its close reports an error (as a
// network file system does when data it accepted could not be stored).
//
//   TARVIK_FAULT_FILE        the file to misbehave
//   TARVIK_FAULT_READ_LIMIT  reads of it fail, with a real I/O error, once this many bytes were
//                            read
//   TARVIK_FAULT_SIZE        the size its status reports
//   TARVIK_FAULT_CLOSE       when set, closing it fails with EIO (after it is really closed)
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

const char* setting(const char* name) {
    return std::getenv(name);
}

template <typename Function>
Function next_definition(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using FstatFunction = int (*)(int, struct stat*);

bool is_target(int descriptor) {
    const char* target = setting("TARVIK_FAULT_FILE");
    static FstatFunction real_fstat = next_definition<FstatFunction>("fstat");
    struct stat wanted;
    struct stat actual;
    return target != nullptr && stat(target, &wanted) == 0 &&
           real_fstat(descriptor, &actual) == 0 && wanted.st_dev == actual.st_dev &&
           wanted.st_ino == actual.st_ino;
}

void report_size(int descriptor, struct stat* status) {
    const char* size = setting("TARVIK_FAULT_SIZE");
    if (size != nullptr && is_target(descriptor)) {
        status->st_size = static_cast<off_t>(std::strtoll(size, nullptr, 10));
    }
}

// Puts a directory behind the stream's descriptor, so that the next read fails with EISDIR.
void break_stream(std::FILE* stream) {
    int directory = open("/", O_RDONLY | O_DIRECTORY);
    dup2(directory, fileno(stream));
    close(directory);
}

long long bytes_read = 0;

}  // namespace

extern "C" {

int fstat(int descriptor, struct stat* status) {
    static FstatFunction real = next_definition<FstatFunction>("fstat");
    int result = real(descriptor, status);
    if (result == 0) {
        report_size(descriptor, status);
    }
    return result;
}

int fstat64(int descriptor, struct stat64* status) {
    using Function = int (*)(int, struct stat64*);
    static Function real = next_definition<Function>("fstat64");
    int result = real(descriptor, status);
    if (result == 0) {
        report_size(descriptor, reinterpret_cast<struct stat*>(status));
    }
    return result;
}

std::size_t fread(void* buffer, std::size_t size, std::size_t count, std::FILE* stream) {
    using Function = std::size_t (*)(void*, std::size_t, std::size_t, std::FILE*);
    static Function real = next_definition<Function>("fread");
    const char* limit = setting("TARVIK_FAULT_READ_LIMIT");
    bool target = limit != nullptr && is_target(fileno(stream));
    if (target && bytes_read >= std::strtoll(limit, nullptr, 10)) {
        break_stream(stream);
    }
    std::size_t got = real(buffer, size, count, stream);
    if (target) {
        bytes_read += static_cast<long long>(got * size);
    }
    return got;
}

int fclose(std::FILE* stream) {
    using Function = int (*)(std::FILE*);
    static Function real = next_definition<Function>("fclose");
    bool fail = setting("TARVIK_FAULT_CLOSE") != nullptr && is_target(fileno(stream));
    int result = real(stream);
    if (fail) {
        errno = EIO;
        return EOF;
    }
    return result;
}
}
