#include "win32_run_form.h"

Quorvellanto_S::Quorvellanto_S(ProgramServices& services, Desktop& desktop, Multimedia& mm)
    : forms::Form("Quorvellanto_Main", forms::FormStyle{WS_POPUP, WS_EX_TOOLWINDOW, RGB(0, 0, 0)}),
      rules_(*this, services, desktop, mm),
      Timer1(*this, 1000, false, [this] { rules_.Timer1_Tick(); }),
      Timer2(*this, 200, false, [this] { rules_.Timer2_Tick(); }),
      Timer3(*this, 500, true, [this] { rules_.Timer3_Tick(); })
{
}

forms::Timer& Quorvellanto_S::TimerOf(RunTimer timer)
{
    return const_cast<forms::Timer&>(static_cast<const Quorvellanto_S*>(this)->TimerOf(timer));
}

const forms::Timer& Quorvellanto_S::TimerOf(RunTimer timer) const
{
    switch (timer) {
    case RunTimer::Timer1:
        return Timer1;
    case RunTimer::Timer2:
        return Timer2;
    case RunTimer::Timer3:
    default:
        return Timer3;
    }
}
