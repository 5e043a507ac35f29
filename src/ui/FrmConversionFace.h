#pragma once

#include "Desktop.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::ui {

// What the field-choice window's behaviour needs of its widgets.
class FrmConversionFace : public WindowFace
{
public:
    // The column list, LstContactsField: its entries (replacing any, none ticked), and
    // each entry's tick.
    virtual void setEntries(const std::vector<std::string> &texts) = 0;
    virtual int entryCount() = 0;
    virtual std::string entryText(int position) = 0;
    virtual bool isTicked(int position) = 0;
    virtual void setTicked(int position, bool ticked) = 0;
    // "Select All", ChkSelectAll, as the click left it.
    virtual bool selectAllTicked() = 0;
    // The bar, ProgBarSave; the values are always in range, maximum above minimum.
    virtual void setProgressRange(std::int32_t minimum, std::int32_t maximum) = 0;
    virtual void setProgressValue(std::int32_t value) = 0;
    // "Start Conversion", CmdConversion.
    virtual void setConversionEnabled(bool enabled) = 0;
    // "Open Exported Contacts File" and its icon.
    virtual void showOpenLink() = 0;
};

} // namespace tarnwick::ui
