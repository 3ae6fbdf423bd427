// The common-controls window classes a dialog template may name (list view,
// up-down, tooltip), registered once for the process.
#pragma once

namespace prismet {

// Registers the list view, up-down and tooltip classes for this process, so
// that a dialog template may name them. Harmless when done before; true when
// the classes are available.
bool register_common_control_classes();

}  // namespace prismet
