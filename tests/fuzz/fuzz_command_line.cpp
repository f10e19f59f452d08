// The whole argument walk on arbitrary command lines, in a scratch folder holding a small file
// and two of its pieces: no crash, no hang, and nothing on standard error but catalogue lines.
#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/messages.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch;
fs::path error_log;
int real_stderr = -1;

// Standard error goes to error_log while the program runs, and back after it, so that the
// fuzzer's and the sanitizers' own reports still reach the terminal.
bool capture_stderr() {
    std::fflush(stderr);
    int log = open(error_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    bool captured = log >= 0 && dup2(log, STDERR_FILENO) >= 0;
    close(log);
    return captured;
}

void release_stderr() {
    std::fflush(stderr);
    dup2(real_stderr, STDERR_FILENO);
}

const tarvik::Message* const ERROR_MESSAGES[] = {
    &tarvik::MSG_SOURCE_OPEN_FAILED,   &tarvik::MSG_BAD_SPLIT_SPEC,
    &tarvik::MSG_NO_SPLIT_NEEDED,      &tarvik::MSG_TOO_MANY_PIECES,
    &tarvik::MSG_OUT_OF_MEMORY,        &tarvik::MSG_PIECE_CREATE_FAILED,
    &tarvik::MSG_JOINED_CREATE_FAILED, &tarvik::MSG_NOT_A_PIECE,
    &tarvik::MSG_PIECE_WRITE_FAILED,   &tarvik::MSG_SOURCE_READ_FAILED,
    &tarvik::MSG_JOINED_WRITE_FAILED,  &tarvik::MSG_PIECE_READ_FAILED,
    &tarvik::MSG_FIRST_PIECE_MISSING,
};

std::string narrow(const std::wstring& text) {
    std::string bytes(text.size() * MB_CUR_MAX + 1, '\0');
    bytes.resize(std::wcstombs(bytes.data(), text.c_str(), bytes.size()));
    return bytes;
}

// Whether a line of standard error is one catalogue entry, its "%s" standing for any text.
bool is_catalogue_line(const std::string& line) {
    for (const tarvik::Message* message : ERROR_MESSAGES) {
        std::wstring format(message->format);
        format.pop_back();  // the line feed
        std::size_t placeholder = format.find(L"%s");
        std::string head = narrow(format.substr(0, placeholder));
        std::string tail =
            placeholder == std::wstring::npos ? "" : narrow(format.substr(placeholder + 2));
        bool fits = placeholder == std::wstring::npos
                        ? line == head
                        : line.size() >= head.size() + tail.size() && line.starts_with(head) &&
                              line.ends_with(tail);
        if (fits) {
            return true;
        }
    }
    return false;
}

void lay_out_scratch() {
    fs::remove_all(scratch);
    fs::create_directory(scratch);
    std::ofstream(scratch / "f", std::ios::binary) << "0123456789abcdef";
    std::ofstream(scratch / "f.001", std::ios::binary) << "012";
    std::ofstream(scratch / "f.002", std::ios::binary) << "34";
}

// Arguments are the input's lines. A '/' becomes '_', so nothing is touched outside the
// scratch folder.
std::vector<std::wstring> arguments_of(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> arguments{L"tarvik"};
    std::wstring current;
    for (std::size_t i = 0; i < size && arguments.size() < 9; ++i) {
        wchar_t c = static_cast<wchar_t>(data[i]);
        if (c == L'\n') {
            arguments.push_back(current);
            current.clear();
        } else if (c != 0) {
            current.push_back(c == L'/' ? L'_' : c);
        }
    }
    arguments.push_back(current);
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/tarvik-fuzz-XXXXXX";
    fs::path base = mkdtemp(folder);
    scratch = base / "work";
    error_log = base / "stderr";
    std::freopen("/dev/null", "w", stdout);
    real_stderr = dup(STDERR_FILENO);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lay_out_scratch();
    fs::current_path(scratch);
    std::vector<std::wstring> arguments = arguments_of(data, size);
    std::vector<wchar_t*> vector;
    for (std::wstring& argument : arguments) {
        vector.push_back(argument.data());
    }
    vector.push_back(nullptr);

    if (!capture_stderr()) {
        std::abort();
    }
    std::int32_t status =
        tarvik::run_command_line(static_cast<std::int32_t>(arguments.size()), vector.data());
    release_stderr();
    if (status != 0) {
        std::abort();
    }
    std::ifstream log(error_log, std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        if (!is_catalogue_line(line)) {
            std::fprintf(stderr, "not a catalogue line: %s\n", line.c_str());
            std::abort();
        }
    }
    return 0;
}
