// What holds child-window controls: a form, or a picture box on a form.
// Children are placed in twips from the container's inner top-left corner
// and get their windows when the container's window is made.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "font.h"

namespace forms {

class ChildControl;
class Form;

class Container {
public:
    virtual ~Container() = default;
    // The window the children live in; null before load.
    virtual HWND ContainerWindow() const = 0;
    // The form the container is on (the form itself for a form).
    virtual Form& ParentForm() = 0;
    // The container's own font: the ambient font of the user controls on it.
    virtual std::shared_ptr<Font> ContainerFont() const = 0;
    const std::vector<ChildControl*>& Children() const { return children_; }
    // A child control joins its container as it is made and leaves as it goes.
    void AddChild(ChildControl& child);
    void RemoveChild(ChildControl& child);

protected:
    // Makes each child's window in the order the children were added.
    void CreateChildWindows();

private:
    std::vector<ChildControl*> children_;
};

}  // namespace forms
