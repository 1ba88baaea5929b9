// The run form: hidden, titled "Quorvellanto_Main", carrying the three timers
// of a screen-saver run and the start and stop steps.
#pragma once
#include "forms/form.h"
#include "forms/timer.h"
#include "run_form.h"

class RunForm : public forms::Form, private RunFormHost {
public:
    // The music is played as `music` says once the form loads.
    RunForm(ProgramServices& services, Desktop& desktop, Multimedia& mm, const MusicSettings& music);
    // Before Load: the renderer starts while this program's window is still
    // to be made (the window system's first window costs a noticeable time).
    void StartRenderer() { rules_.StartRenderer(); }

private:
    // The renderer's first watch counts from the end of the start steps, so
    // that loading the music (winmm, on first use) takes none of its time.
    void OnLoad() override
    {
        rules_.OnLoad();
        if (rendererWatchTimer.Enabled()) rendererWatchTimer.SetEnabled(true);
    }
    void OnQueryUnload(bool&, forms::QueryUnloadReason) override { rules_.OnQueryUnload(); }
    void OnUnload() override { rules_.OnUnload(); }

    void SetTimerOn(RunTimer timer, bool on) override { TimerOf(timer).SetEnabled(on); }
    bool TimerOn(RunTimer timer) const override { return TimerOf(timer).Enabled(); }
    void UnloadForm() override { Unload(); }
    forms::Timer& TimerOf(RunTimer timer);
    const forms::Timer& TimerOf(RunTimer timer) const;

    RunFormRules rules_;
    forms::Timer mp3Timer;
    forms::Timer cdWatchTimer;
    forms::Timer rendererWatchTimer;
};
