#include "OpenFileDialog.h"

#include "Desktop.h"

namespace tarnwick {

void OpenFileDialog::ShowOpen(Desktop &desktop, QWidget *owner)
{
    const QString chosen = desktop.getOpenFileName(owner, m_fileName, Filter);
    if (!chosen.isEmpty())
        m_fileName = chosen;
}

} // namespace tarnwick
