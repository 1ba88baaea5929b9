#include "startup.h"

#include "conversions.h"

const char* const kRunFormCaption = "Quorvellanto_Main";
const char* const kSettingsDialogCaption = "<Quorvellanto>";
const char* const kRendererTitle = "Quorvellanto_VC";

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

std::optional<std::int16_t> PreviewSideTwips(int twipsPerPixel, std::int64_t pixels)
{
    return conv::RoundToInt16(static_cast<double>(twipsPerPixel) * static_cast<double>(pixels));
}
