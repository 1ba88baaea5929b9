#pragma once
#include "program_services.h"

class Win32ProgramServices : public ProgramServices {
public:
    std::string ProgramFolder() const override;
    bool CanOpenForReading(const std::string& path) const override;
};
