#include "run_form.h"

#include "conversions.h"
#include "renderer_contract.h"
#include "startup.h"

const char* const kRendererFileName = "\\Quorvellanto.dll";
const char* const kPictureFiles[3] = {"C:\\Quorvellanto1.bmp", "C:\\Quorvellanto2.bmp", "C:\\Quorvellanto3.bmp"};

MusicChoice ChooseMusic(int kind, const std::string& file)
{
    if (kind == BGM_CD) return MusicChoice::Cd;
    if (kind != BGM_FILE) return MusicChoice::None;
    const std::string ext = conv::UpperCase(conv::Right(file, 3));
    if (ext == "WAV") return MusicChoice::Wav;
    if (ext == "MP3") return MusicChoice::Mp3;
    return MusicChoice::None;
}

RunFormRules::RunFormRules(RunFormHost& form, ProgramServices& services, Desktop& desktop, Multimedia& mm,
                           const MusicSettings& music)
    : form_(form), services_(services), desktop_(desktop), mm_(mm), music_(music), player_(mm)
{
}

void RunFormRules::StartRenderer()
{
    if (rendererAsked_) return;
    rendererAsked_ = true;
    rendererPath_ = services_.ProgramFolder() + kRendererFileName;
    rendererStarted_ = services_.StartProgram(rendererPath_);
}

void RunFormRules::OnLoad()
{
    StartRenderer();
    switch (ChooseMusic(music_.kind, music_.file)) {
    case MusicChoice::Cd:
        player_.OpenCd();
        form_.SetTimerOn(RunTimer::CdWatch, true);
        break;
    case MusicChoice::Wav:
        player_.PlayWav(music_.file);
        break;
    case MusicChoice::Mp3:
        player_.PlayMp3(music_.file);
        form_.SetTimerOn(RunTimer::Mp3, true);
        break;
    case MusicChoice::None:
        break;
    }
}

void RunFormRules::OnMp3Timer()
{
    player_.KeepMp3Playing();
}

void RunFormRules::OnCdWatchTimer()
{
    player_.WatchCd(music_.repeatTrack);
    form_.SetTimerOn(RunTimer::CdWatch, player_.CdWatchOk());
}

void RunFormRules::OnRendererWatchTimer()
{
    if (desktop_.WindowExists(kRendererWindowTitle)) {
        rendererSeen_ = true;
        return;
    }
    // Not up yet but still starting: ending now would leave the renderer
    // running with no saver. (A renderer that ended unseen, while this thread
    // was busy, say, ends the run at once.)
    if (rendererStarted_ && !rendererSeen_ && services_.StartedProgramRunning() &&
        ++watchesWithoutWindow_ < kFirstWindowTicks)
        return;
    form_.SetTimerOn(RunTimer::RendererWatch, false);
    form_.UnloadForm();
}

void RunFormRules::OnQueryUnload()
{
    bool closedMusic = false;
    if (form_.TimerOn(RunTimer::CdWatch)) {
        form_.SetTimerOn(RunTimer::CdWatch, false);
        player_.CloseCd();
        closedMusic = true;
    }
    if (music_.kind == BGM_FILE) {
        const MusicChoice music = ChooseMusic(music_.kind, music_.file);
        if (music == MusicChoice::Wav) {
            player_.StopWav();
            closedMusic = true;
        }
        if (music == MusicChoice::Mp3) {
            form_.SetTimerOn(RunTimer::Mp3, false);
            player_.CloseMp3();
            closedMusic = true;
        }
    }
    // The program ends right after this; the music's threads end first.
    if (closedMusic) mm_.LetClosedDevicesSettle();
    if (ModeLetter(services_.ArgumentText()) == "S") desktop_.ShowCursor(true);
}

void RunFormRules::OnUnload()
{
    for (const char* picture : kPictureFiles) services_.DeleteFileAt(picture);
    services_.EndProgram();
}
