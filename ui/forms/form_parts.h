// The parts of a form and how the form reaches them. A timer, a windowless
// control and a child-window control each join their form's parts as they are
// made and leave as they go; the form calls them only through the small
// interfaces here. The parts also keep the child controls' tab order and the
// focus bookkeeping: which control had the focus last, given it back when the
// form is activated again, and Tab moving it along the order.
#pragma once
#include <windows.h>

#include <vector>

namespace forms {

class ChildControl;

// A timer as its form sees it.
class FormTimer {
public:
    virtual UINT_PTR TimerId() const = 0;
    // The form's window has been made: the window timer starts if it is on.
    virtual void FormWindowMade() = 0;
    // The form's window is going: the window timer stops.
    virtual void FormWindowGoing() = 0;
    // The window timer of this id has fired.
    virtual void Tick() = 0;

protected:
    ~FormTimer() = default;
};

// A windowless control as its form sees it: painted when the form paints.
class FormPainting {
public:
    virtual void Paint(HDC dc) = 0;

protected:
    ~FormPainting() = default;
};

class FormParts {
public:
    void Join(FormTimer& timer);
    void Leave(FormTimer& timer);
    // Windowless controls paint in the order they joined.
    void Join(FormPainting& control);
    void Leave(FormPainting& control);
    // A child control joins at the end of the tab order; leaving forgets its focus.
    void Join(ChildControl& control);
    void Leave(ChildControl& control);

    const std::vector<FormTimer*>& Timers() const { return timers_; }
    const std::vector<FormPainting*>& Painted() const { return painted_; }

    // Child controls in tab order; a position from 0.
    const std::vector<ChildControl*>& TabOrder() const { return tabOrder_; }
    int TabIndex(const ChildControl& control) const;
    void SetTabIndex(ChildControl& control, int index);

    // A control's window has taken the focus.
    void FocusTaken(ChildControl& control) { lastFocus_ = &control; }
    // The form's window is made anew or gone: no control had the focus.
    void ForgetFocus() { lastFocus_ = nullptr; }
    // Gives the focus back to the control that had it, or to the first in
    // tab order that can take it. False when no control can.
    bool RestoreFocus() const;
    // Moves the focus to the next (or previous) control that can take it.
    void MoveFocus(bool backwards) const;

private:
    std::vector<FormTimer*> timers_;
    std::vector<FormPainting*> painted_;
    std::vector<ChildControl*> tabOrder_;
    ChildControl* lastFocus_ = nullptr;
};

}  // namespace forms
