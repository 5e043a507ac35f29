#pragma once

#include <QString>

namespace tarnwick {

// Where "Contents" finds the help document: beside the program in a build tree, else in
// the installed data folder (share/tarnwick/Help.html). When neither holds it, the
// installed path, so that whatever the browser then says names the expected place.
QString helpDocumentPath();

} // namespace tarnwick
