// What happens when memory runs out: the program tells the user, who can
// retry (a running search then pauses at its next step, which frees the
// memory its next steps would take) or end the program. A reserve taken at
// start is given back first, so that the message itself can be shown.
#pragma once

namespace kea::app {

void installLowMemoryHandler();

}  // namespace kea::app
