#pragma once

#include "engine/copy_worker.h"
#include "engine/rescue_map.h"

namespace orvel {

class PanelHost;

// The rescue map of the operation `header` describes. When the log folder
// holds the map of the same operation left unfinished, the operator is asked
// whether to continue it: Yes resumes from that map, No (or no such map)
// makes a first run with a new one.
MapSettings askToContinue(PanelHost& host, const MapHeader& header);

} // namespace orvel
