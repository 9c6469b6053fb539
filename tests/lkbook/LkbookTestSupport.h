#pragma once

#include "book/Book.h"
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

// Pages that between them give every field a value unlike a new page's,
// and the extremes the file format allows. Literals are code page 932.
inline std::vector<std::unique_ptr<Page>> unlikePages() {
    std::vector<std::unique_ptr<Page>> pages;

    auto first = std::make_unique<Page>();
    first->updateTime = 1041379507; // 2003-01-01T00:05:07Z
    first->readOnly = true;
    first->imeAutoOn = true;
    first->floating = true;
    first->alwaysOnTop = true;
    first->fixedSize = true;
    first->showTitle = true;
    first->title = "予定";
    for (int i = 0; i < 2000; ++i) {
        first->text += "会議は十時から。表計算ソフトの\\記号 ~ ｱｲｳ\r\n";
    }
    first->selectionStart = 3;
    first->selectionEnd = 17;
    first->floatingRect = {-1200, -30, -900, 250};
    first->format.frameColor = 0x00123456;
    first->format.frameStyle = Sunken;
    first->format.titleFormat = {0x00FF0000, 0x0000FF00, "ＭＳ 明朝", 14};
    first->format.editorFormat = {0x00000000, 0x00FFFFFF, "IPAゴシック", 72};
    pages.push_back(std::move(first));

    pages.push_back(std::make_unique<Page>()); // a new page: never updated, automatic colours

    auto third = std::make_unique<Page>();
    third->updateTime = INT_MIN;
    third->title = "";
    third->text = "";
    third->format.titleFormat.fontFace = "";
    third->format.editorFormat.fontFace = "";
    third->format.frameStyle = Raised;
    third->format.frameColor = 0x80123456; // not expressible as #RRGGBB
    third->format.titleFormat.backColor = 0xFF000000;
    third->format.titleFormat.fontSize = -5;
    third->format.editorFormat.fontSize = INT_MAX;
    third->selectionStart = INT_MAX;
    third->selectionEnd = INT_MIN;
    third->floatingRect = {INT_MIN, INT_MAX, 0, -1};
    pages.push_back(std::move(third));

    auto fourth = std::make_unique<Page>();
    fourth->updateTime = INT_MAX;
    fourth->format.frameStyle = 7;  // no entry of the settings sheet
    fourth->title = "\xB1\xB2\x5C"; // half-width katakana and a backslash
    // NEC row 13 and NEC-selected IBM codes convert back to other codes;
    // 0x81 0x20 is no character at all.
    fourth->text = "\x87\x90\xED\x40 \x81\x20 end";
    fourth->format.editorFormat.fontFace = "\xF0\x40"; // user-defined area
    pages.push_back(std::move(fourth));
    return pages;
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
