#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Writes a file so that a failure at any point leaves the previous file
// byte-for-byte intact: everything goes to a temporary file in the same
// folder, which replaces the target in one step only after every write, the
// flush, the sync and the close have succeeded. An uncommitted writer removes
// its temporary file. On request the previous generation of the target is
// kept beside it as a backup, made before the replacement, so at every moment
// the target's name holds a complete file.
class SafeFileWriter {
public:
    // The points where a test may make the writer fail (as a full disk or a
    // refused rename would) or stop (as a power cut between the two steps).
    enum class Stage { Open, Write, Replace };
    // Asked before each stage; false makes the stage fail. Null in the program.
    using FaultHook = bool (*)(Stage stage, const std::string& target);
    static FaultHook faultHook;

    explicit SafeFileWriter(std::string targetPath, std::string backupPath = std::string());
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter();

    bool open();
    // Asked once the new file is complete, just before it replaces the
    // target; false abandons the write (the target changed meanwhile).
    using ReplaceCheck = std::function<bool()>;

    // A failed write is remembered; commit then fails.
    void write(const void* data, std::size_t size);
    bool commit(const ReplaceCheck& mayReplace = {});

    const std::string& temporaryPath() const { return tempPath; }

private:
    void abandon();
    bool allowed(Stage stage) const;

    std::string target;
    std::string backup;
    std::string tempPath;
    std::vector<char> buffer; // declared before the file: it must outlive the stream
    std::FILE* file = nullptr;
    bool failed = false;
};
