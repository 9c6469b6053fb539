// Leafkeeper with a fault injected into its book writes, for the end-to-end
// tests. The environment variable LK_FAULT chooses it:
//   pause-before-replace   the new book is complete in its temporary file;
//                          the writer announces it (a ".paused" file beside
//                          the book) and waits there for ever, to be killed
//   fail-open, fail-write, fail-replace
//                          that stage fails every time, as a full disk or a
//                          refused rename would
// Only writes of a book file named "lk.bok" are affected, so a recovery file
// can still be written.
#include "app/RunLeafkeeper.h"
#include "book/SafeFileWriter.h"

#include <cstdio>
#include <string>

namespace {

std::string fault;

bool isBookFile(const std::string& target) {
    const std::string name = "\\lk.bok";
    return target.size() >= name.size() && target.compare(target.size() - name.size(), name.size(), name) == 0;
}

bool injectFault(SafeFileWriter::Stage stage, const std::string& target) {
    if (!isBookFile(target)) {
        return true;
    }
    switch (stage) {
    case SafeFileWriter::Stage::Open:
        return fault != "fail-open";
    case SafeFileWriter::Stage::Write:
        return fault != "fail-write";
    case SafeFileWriter::Stage::Replace:
        if (fault == "pause-before-replace") {
            if (std::FILE* marker = std::fopen((target + ".paused").c_str(), "wb")) {
                std::fclose(marker);
            }
            for (;;) {
                Sleep(1000);
            }
        }
        return fault != "fail-replace";
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    char value[64] = {};
    if (GetEnvironmentVariableA("LK_FAULT", value, sizeof value) > 0) {
        fault = value;
        SafeFileWriter::faultHook = injectFault;
    }
    return runLeafkeeper(instance, commandLine, showCommand);
}
