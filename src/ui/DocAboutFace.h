#pragma once

#include "Desktop.h"

namespace tarnwick::ui {

// What the About box's behaviour needs of its widgets.
class DocAboutFace : public WindowFace
{
public:
    virtual void closeWindow() = 0;
};

} // namespace tarnwick::ui
