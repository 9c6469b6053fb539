#pragma once

#include "book/Book.h"
#include "support/Pages.h"
#include "support/TempFolder.h"
#include "tools/lkbook/Lkbook.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

// What one run of lkbook gave.
struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs lkbook in this process.
inline RunResult lkbook(const std::vector<std::string>& arguments, const std::string& input = std::string()) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.code = Lkbook::run(arguments, in, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}



inline void saveBook(const std::vector<std::unique_ptr<Page>>& pages, const std::string& path) {
    Book book;
    for (const auto& page : pages) {
        book.append(std::make_unique<Page>(*page));
    }
    if (!book.save(path)) {
        throw std::runtime_error("cannot save " + path);
    }
}

// Runs the built executable as a child process; `input` names a file for
// its standard input (none when empty).
inline RunResult runExecutable(const std::vector<std::string>& arguments, const TempFolder& folder,
                               const std::string& input = std::string()) {
    const std::string outPath = folder.file("child-stdout");
    const std::string errPath = folder.file("child-stderr");
    RunResult result;
#ifdef _WIN32
    // Under Wine the executable's path is a Unix one.
    std::string executable = LKBOOK_EXECUTABLE;
    if (!executable.empty() && executable[0] == '/') {
        executable = "Z:" + executable;
    }
    for (char& c : executable) {
        if (c == '/') {
            c = '\\';
        }
    }
    std::string commandLine = "\"" + executable + "\"";
    for (const auto& argument : arguments) {
        commandLine += " \"" + argument + "\"";
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    };
    HANDLE outFile = create(outPath);
    HANDLE errFile = create(errPath);
    HANDLE inFile = CreateFileA(input.empty() ? "NUL" : input.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inFile;
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.code = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outFile);
    CloseHandle(errFile);
    CloseHandle(inFile);
#else
    const auto quote = [](const std::string& text) {
        std::string quoted = "'";
        for (char c : text) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return quoted + "'";
    };
    std::string command = quote(LKBOOK_EXECUTABLE);
    for (const auto& argument : arguments) {
        command += " " + quote(argument);
    }
    command += " <" + (input.empty() ? std::string("/dev/null") : quote(input)) + " >" + quote(outPath) + " 2>" +
               quote(errPath);
    const int status = std::system(command.c_str());
    result.code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}
