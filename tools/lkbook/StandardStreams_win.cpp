#include "tools/lkbook/StandardStreams.h"

#include "tools/lkbook/Lkbook.h"

#include <iostream>
#include <streambuf>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// Writes UTF-8 to a console window as UTF-16, whatever the console's code
// page; output to a file or a pipe stays UTF-8 bytes.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : handle(console) {}
    ~ConsoleBuffer() override { writeComplete(true); }

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            pending += traits_type::to_char_type(c);
            if (c == '\n' || pending.size() >= 4096) {
                writeComplete(false);
            }
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* data, std::streamsize count) override {
        pending.append(data, static_cast<std::size_t>(count));
        writeComplete(false);
        return count;
    }

    int sync() override {
        writeComplete(false);
        return 0;
    }

private:
    // Writes what is pending up to the last whole UTF-8 character, or all of it.
    void writeComplete(bool all) {
        std::size_t end = pending.size();
        if (!all) {
            std::size_t start = end;
            while (start > 0 && end - start < 4 && (static_cast<unsigned char>(pending[start - 1]) & 0xC0) == 0x80) {
                --start;
            }
            if (start > 0) {
                const auto lead = static_cast<unsigned char>(pending[start - 1]);
                const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                if (end - (start - 1) < length) {
                    end = start - 1;
                }
            }
        }
        if (end == 0) {
            return;
        }
        const int length = MultiByteToWideChar(CP_UTF8, 0, pending.data(), static_cast<int>(end), nullptr, 0);
        if (length > 0) {
            std::wstring wide(static_cast<std::size_t>(length), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, pending.data(), static_cast<int>(end), &wide[0], length);
            DWORD written = 0;
            WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        }
        pending.erase(0, end);
    }

    HANDLE handle;
    std::string pending;
};

bool isConsole(HANDLE handle) {
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

} // namespace

int runOnStandardStreams(const std::vector<std::string>& arguments) {
    // JSON in and out is UTF-8 with LF line breaks: no text-mode translation.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const HANDLE outHandle = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE errHandle = GetStdHandle(STD_ERROR_HANDLE);
    ConsoleBuffer outConsole(outHandle);
    ConsoleBuffer errConsole(errHandle);
    std::ostream consoleOut(&outConsole);
    std::ostream consoleErr(&errConsole);
    std::ostream& out = isConsole(outHandle) ? consoleOut : std::cout;
    std::ostream& err = isConsole(errHandle) ? consoleErr : std::cerr;
    const int code = Lkbook::run(arguments, std::cin, out, err);
    out.flush();
    err.flush();
    return code;
}
