#include "win32_run_form.h"

#include "startup.h"

RunForm::RunForm(ProgramServices& services, Desktop& desktop, Multimedia& mm, const MusicSettings& music)
    : forms::Form(kRunFormCaption, forms::FormStyle{WS_POPUP, WS_EX_TOOLWINDOW, RGB(0, 0, 0)}),
      rules_(*this, services, desktop, mm, music),
      mp3Timer(*this, 1000, false, [this] { rules_.OnMp3Timer(); }),
      cdWatchTimer(*this, 200, false, [this] { rules_.OnCdWatchTimer(); }),
      rendererWatchTimer(*this, 500, true, [this] { rules_.OnRendererWatchTimer(); })
{
}

forms::Timer& RunForm::TimerOf(RunTimer timer)
{
    return const_cast<forms::Timer&>(static_cast<const RunForm*>(this)->TimerOf(timer));
}

const forms::Timer& RunForm::TimerOf(RunTimer timer) const
{
    switch (timer) {
    case RunTimer::Mp3:
        return mp3Timer;
    case RunTimer::CdWatch:
        return cdWatchTimer;
    case RunTimer::RendererWatch:
    default:
        return rendererWatchTimer;
    }
}
