// The preview form: a borderless black form holding a still picture of the
// animation, embedded by the start-up routine in the host's preview area.
#pragma once
#include "forms/control.h"
#include "forms/form.h"

class Quorvellanto_R : public forms::Form {
public:
    Quorvellanto_R();
    forms::Image Img_Prev;

private:
    void Form_Unload() override;
};
