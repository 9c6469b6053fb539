// Leafkeeper with a fault injected into its book writes, for the end-to-end
// tests. The environment variable LK_FAULT chooses it:
//   pause-before-replace   the new book is complete in its temporary file;
//                          the writer announces it (a ".paused" file beside
//                          the book) and waits there for ever, to be killed
//   fail-open, fail-write, fail-replace
//                          that stage fails every time, as a full disk or a
//                          refused rename would
// Only writes of a book file named "lk.bok" are affected, so a recovery file
// can still be written; with
//   fail-open-everywhere   no file at all can be made, recovery files included.
#include "app/RunLeafkeeper.h"
#include "book/SafeFileWriter.h"

#include <fstream>
#include <cstdlib>
#include <string>

namespace {

bool injectFault(SafeFileWriter::Stage stage, const std::string& target) {
    const std::string fault = std::getenv("LK_FAULT");
    if (fault == "fail-open-everywhere") {
        return stage != SafeFileWriter::Stage::Open;
    }
    if (target.size() < 7 || target.substr(target.size() - 7) != "\\lk.bok") {
        return true;
    }
    if (stage == SafeFileWriter::Stage::Replace && fault == "pause-before-replace") {
        std::ofstream(target + ".paused").put('!');
        Sleep(INFINITE);
    }
    const char* const failing[] = {"fail-open", "fail-write", "fail-replace"}; // by stage
    return fault != failing[static_cast<int>(stage)];
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    SafeFileWriter::faultHook = std::getenv("LK_FAULT") ? injectFault : nullptr;
    return runLeafkeeper(instance, commandLine, showCommand);
}
