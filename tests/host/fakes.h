// Fakes of the saver's platform interfaces, for the host unit tests.
#pragma once
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "multimedia.h"
#include "profile_store.h"
#include "program_services.h"

// An ini store in memory: file -> section -> key -> value.
class FakeProfile : public ProfileStore {
public:
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> files;
    std::vector<std::string> writes;  // "section|key|value|file" in order

    std::string Read(const std::string& section, const std::string& key, const std::string& file,
                     unsigned capacity) const override
    {
        auto f = files.find(file);
        if (f == files.end()) return {};
        auto s = f->second.find(section);
        if (s == f->second.end()) return {};
        auto k = s->second.find(key);
        if (k == s->second.end()) return {};
        return k->second.substr(0, capacity - 1);
    }
    std::set<std::string> refusing;  // files whose writes fail (a folder that refuses writes)

    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& file) override
    {
        writes.push_back(section + "|" + key + "|" + value + "|" + file);
        if (refusing.count(file)) return false;
        files[file][section][key] = value;
        return true;
    }
};

class FakeServices : public ProgramServices {
public:
    std::string folder = "C:\\Saver";
    std::string arguments = "/s";
    std::set<std::string> readable;
    mutable std::vector<std::string> opened;
    std::vector<std::string> started, deleted;
    bool startSucceeds = true;
    int endCount = 0;

    unsigned codePage = 1252;  // the system's ANSI code page: 1252 or 932
    std::string ProgramFolder() const override { return folder; }
    bool IsLeadByte(unsigned char byte) const override
    {
        return codePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
    }
    std::string ArgumentText() const override { return arguments; }
    bool CanOpenForReading(const std::string& path) const override
    {
        opened.push_back(path);
        return readable.count(path) > 0;
    }
    bool StartProgram(const std::string& path) override
    {
        started.push_back(path);
        return startSucceeds;
    }
    bool startedRunning = true;  // the started program has not ended
    bool StartedProgramRunning() const override { return startedRunning; }
    std::string userFolder;  // empty: no per-user folder
    std::vector<bool> userFolderAsks;  // per call: whether the folder was to be made
    std::string UserDataFolder(bool create) override
    {
        userFolderAsks.push_back(create);
        return userFolder;
    }
    bool DeleteFileAt(const std::string& path) override
    {
        deleted.push_back(path);
        return readable.erase(path) > 0;
    }
    void EndProgram() override { ++endCount; }
};

class FakeDesktop : public Desktop {
public:
    std::set<std::string> windows;
    std::vector<bool> cursorCalls;  // true: show, false: hide
    bool WindowExists(const std::string& title) const override { return windows.count(title) > 0; }
    void ShowCursor(bool show) override { cursorCalls.push_back(show); }
};

// A multimedia device that records every command and answers as scripted:
// per command a queue of answers, the last one repeating.
class ScriptedMultimedia : public Multimedia {
public:
    struct Answer {
        std::int32_t code;
        std::string reply;
    };
    std::vector<std::string> commands;
    std::vector<unsigned> replySizes;
    std::map<std::string, std::deque<Answer>> script;
    std::map<std::int32_t, std::string> errorTexts;
    std::vector<std::pair<std::string, unsigned>> sounds;  // name ("" for none), flags
    unsigned waveDevices = 1;

    void Answer_(const std::string& command, std::int32_t code, const std::string& reply = "")
    {
        script[command].push_back({code, reply});
    }

    std::int32_t SendString(const std::string& command, char* reply, unsigned replySize) override
    {
        commands.push_back(command);
        replySizes.push_back(reply ? replySize : 0);
        Answer answer{0, ""};
        auto it = script.find(command);
        if (it != script.end() && !it->second.empty()) {
            answer = it->second.front();
            if (it->second.size() > 1) it->second.pop_front();
        }
        if (reply != nullptr && replySize > 0 && answer.code == 0) {
            std::strncpy(reply, answer.reply.c_str(), replySize - 1);
            reply[replySize - 1] = '\0';
        }
        return answer.code;
    }
    bool ErrorText(std::int32_t code, char* buffer, unsigned bufferSize) override
    {
        auto it = errorTexts.find(code);
        if (it == errorTexts.end()) return false;
        std::strncpy(buffer, it->second.c_str(), bufferSize - 1);
        buffer[bufferSize - 1] = '\0';
        return true;
    }
    void PlaySoundByName(const char* name, unsigned flags) override { sounds.emplace_back(name ? name : "", flags); }
    unsigned WaveOutDeviceCount() override { return waveDevices; }
    // File contents by path; a path not listed starts as an MP3 with a tag does.
    std::map<std::string, std::string> fileStarts;
    std::string FileStart(const std::string& path, std::size_t size) override
    {
        const auto found = fileStarts.find(path);
        return (found != fileStarts.end() ? found->second : std::string("ID3\x04\x00")).substr(0, size);
    }
    // Commands and sounds that had gone out when the devices were let settle, per call.
    std::vector<std::size_t> settledAfter;
    void LetClosedDevicesSettle() override { settledAfter.push_back(commands.size() + sounds.size()); }
};
