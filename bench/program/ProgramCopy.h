#pragma once

#include <string>

// A folder of its own holding a copy of Leafkeeper.exe, so that the INI file
// and the book file beside it are the benchmark's; removed with everything
// in it at the end.
class ProgramCopy {
public:
    ProgramCopy(const std::string& parentFolder, const std::string& name);
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    ~ProgramCopy();

    const std::string& folder() const { return folderPath; }
    std::string file(const std::string& name) const { return folderPath + "\\" + name; }
    std::string bookPath() const { return file("lk.bok"); }
    std::string commandLine() const { return "\"" + file("Leafkeeper.exe") + "\""; }
    bool write(const std::string& name, const std::string& contents) const;

private:
    std::string folderPath;
};

// A Unix path (as given at build time or on the command line) as Wine shows
// it to the program, on drive Z:; a Windows path is returned unchanged.
std::string windowsPath(std::string path);
// The program under benchmark.
std::string leafkeeperExecutable();
// Removes a folder and everything in it.
void removeFolder(const std::string& folder);
