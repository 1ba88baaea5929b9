// The run form's rules: it starts the renderer and the music, keeps the music
// going from its timers, watches for the renderer's window, and on its way
// out stops the music, gives the cursor back and deletes the picture files.
#pragma once
#include <string>

#include "bgm.h"
#include "multimedia.h"
#include "program_services.h"
#include "settings_file.h"

// The run form's timers: the MP3 kept playing (1000 ms), the audio CD watched
// (200 ms), the renderer's window watched (500 ms).
enum class RunTimer { Mp3, CdWatch, RendererWatch };

// What the rules need of the form that carries them.
class RunFormHost {
public:
    virtual ~RunFormHost() = default;
    virtual void SetTimerOn(RunTimer timer, bool on) = 0;
    virtual bool TimerOn(RunTimer timer) const = 0;
    // Unloads the form: query-unload, then unload.
    virtual void UnloadForm() = 0;
};

enum class MusicChoice { None, Cd, Wav, Mp3 };
MusicChoice ChooseMusic(int kind, const std::string& file);

extern const char* const kRendererFileName;  // "\Quorvellanto.dll"
extern const char* const kPictureFiles[3];   // "C:\Quorvellanto1.bmp" to "C:\Quorvellanto3.bmp"

class RunFormRules {
public:
    // The music is played as `music` says when the form loads; it may be
    // loaded from the file after this is made.
    RunFormRules(RunFormHost& form, ProgramServices& services, Desktop& desktop, Multimedia& mm,
                 const MusicSettings& music);

    // Starts the renderer, once: at the start of OnLoad, or sooner, before
    // the form's window is made, so that the run's first frame comes sooner.
    void StartRenderer();
    void OnLoad();
    void OnMp3Timer();
    void OnCdWatchTimer();
    void OnRendererWatchTimer();
    void OnQueryUnload();
    void OnUnload();

private:
    RunFormHost& form_;
    ProgramServices& services_;
    Desktop& desktop_;
    Multimedia& mm_;
    const MusicSettings& music_;
    MusicPlayer player_;
    std::string rendererPath_;
    // A renderer that started, still runs and has not shown its window yet (a
    // slow or busy machine) is waited for, up to kFirstWindowTicks watches.
    bool rendererAsked_ = false, rendererStarted_ = false, rendererSeen_ = false;
    int watchesWithoutWindow_ = 0;
};

// Watches (of 500 ms) that a started renderer is given to show its window.
constexpr int kFirstWindowTicks = 20;
