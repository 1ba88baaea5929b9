// Program services of the platform that the saver's modules and forms use.
#pragma once
#include <string>

class ProgramServices {
public:
    virtual ~ProgramServices() = default;
    // The folder the program file lies in, without a trailing backslash
    // (a drive root keeps its backslash: "C:\").
    virtual std::string ProgramFolder() const = 0;
    // True when the path can be opened for reading as a file.
    virtual bool CanOpenForReading(const std::string& path) const = 0;
};
