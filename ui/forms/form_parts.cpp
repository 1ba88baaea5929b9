#include "form_parts.h"

#include <algorithm>

#include "child_control.h"

namespace forms {

namespace {
template <class Part>
void Remove(std::vector<Part*>& parts, const Part* part)
{
    parts.erase(std::remove(parts.begin(), parts.end(), part), parts.end());
}
}  // namespace

void FormParts::Join(FormTimer& timer) { timers_.push_back(&timer); }
void FormParts::Leave(FormTimer& timer) { Remove(timers_, &timer); }
void FormParts::Join(FormPainting& control) { painted_.push_back(&control); }
void FormParts::Leave(FormPainting& control) { Remove(painted_, &control); }
void FormParts::Join(ChildControl& control) { tabOrder_.push_back(&control); }

void FormParts::Leave(ChildControl& control)
{
    Remove(tabOrder_, &control);
    if (lastFocus_ == &control) lastFocus_ = nullptr;
}

int FormParts::TabIndex(const ChildControl& control) const
{
    return static_cast<int>(std::find(tabOrder_.begin(), tabOrder_.end(), &control) - tabOrder_.begin());
}

void FormParts::SetTabIndex(ChildControl& control, int index)
{
    Remove(tabOrder_, &control);
    index = std::clamp(index, 0, static_cast<int>(tabOrder_.size()));
    tabOrder_.insert(tabOrder_.begin() + index, &control);
}

bool FormParts::RestoreFocus() const
{
    if (lastFocus_ != nullptr && lastFocus_->CanTakeFocus()) {
        lastFocus_->SetFocus();
        return true;
    }
    for (ChildControl* control : tabOrder_) {
        if (control->CanTakeFocus()) {
            control->SetFocus();
            return true;
        }
    }
    return false;
}

void FormParts::MoveFocus(bool backwards) const
{
    const int count = static_cast<int>(tabOrder_.size());
    const HWND focus = GetFocus();
    // The control whose window has the focus; else one that takes the focus
    // and holds the focused window (a native control's inner edit field).
    int at = -1;
    for (int i = 0; i < count && at < 0; ++i) {
        if (focus != nullptr && tabOrder_[static_cast<size_t>(i)]->hwnd() == focus) at = i;
    }
    for (int i = 0; i < count && at < 0; ++i) {
        const ChildControl* control = tabOrder_[static_cast<size_t>(i)];
        if (focus != nullptr && control->CanTakeFocus() && IsChild(control->hwnd(), focus)) at = i;
    }
    // From the control that has the focus (or from either end), the next one that can take it.
    for (int step = 1; step <= count; ++step) {
        int next;
        if (at < 0) next = backwards ? count - step : step - 1;
        else next = ((at + (backwards ? -step : step)) % count + count) % count;
        ChildControl* control = tabOrder_[static_cast<size_t>(next)];
        if (control->CanTakeFocus()) {
            control->SetFocus();
            return;
        }
    }
}

}  // namespace forms
