#include "OpenFileDialog.h"

#include "Desktop.h"

namespace tarnwick::ui {

void OpenFileDialog::ShowOpen(Desktop &desktop, WindowFace &owner)
{
    std::string chosen = desktop.getOpenFileName(owner, m_fileName, Filter);
    if (!chosen.empty())
        m_fileName = std::move(chosen);
}

} // namespace tarnwick::ui
