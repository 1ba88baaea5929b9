#include "startup.h"

#include <cmath>

#include "conversions.h"

const char* const kRunFormCaption = "Quorvellanto_Main";
const char* const kSettingsDialogCaption = "<Quorvellanto>";

std::string ArgumentTextOf(const std::string& commandLine)
{
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    if (i < n && commandLine[i] == '"') {
        const std::size_t close = commandLine.find('"', i + 1);
        i = close == std::string::npos ? n : close + 1;
    } else {
        while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
    }
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    return commandLine.substr(i);
}

std::string ModeLetter(const std::string& argumentText)
{
    return conv::UpperCase(conv::Mid(argumentText, 2, 1));
}

StartupMode ModeOf(const std::string& argumentText)
{
    const std::string letter = ModeLetter(argumentText);
    if (letter == "P") return StartupMode::Preview;
    if (letter == "C") return StartupMode::Settings;
    if (letter == "S") return StartupMode::RunHidden;
    if (argumentText.empty()) return StartupMode::RunVisible;
    return StartupMode::End;
}

std::int32_t PreviewHostHandle(const std::string& argumentText)
{
    return conv::RoundToInt32(conv::LeadingNumber(conv::Mid(argumentText, 4))).value_or(0);
}

std::optional<std::int16_t> PreviewSideTwips(int dpi, std::int64_t pixels)
{
    if (dpi <= 0) return std::nullopt;
    // Rounded up, so that the form's pixels (twips at this scale, rounded
    // down) come back to the host's: at 192 dpi a pixel is 7.5 twips.
    const double twips = static_cast<double>(pixels) * 1440.0 / dpi;
    return conv::RoundToInt16(twips >= 0 ? std::ceil(twips) : std::floor(twips));
}
