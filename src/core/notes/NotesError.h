#pragma once

#include <stdexcept>
#include <string>

namespace notes {

// The one failure of the Notes layer. Nothing in this layer returns a status: the scan and
// the export decide per step whether a failure is skipped or ends their pass.
class NotesError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace notes
