#include "panels/continue_question.h"

#include "engine/map_plan.h"
#include "panels/panel_host.h"

#include <optional>
#include <string>
#include <utility>

namespace orvel {

MapSettings askToContinue(PanelHost& host, const MapHeader& header)
{
    std::optional<FoundMap> found = findUnfinishedMap(host.logDirectory(), header);
    if (found) {
        const std::string question = "A previous copy of this drive stopped at " +
                                     std::to_string(percentDone(found->map)) +
                                     " %. Continue it? (No starts again from the beginning.)";
        if (host.messageBoxes().show({question, "Confirm", MessageIcon::Question, MessageButtons::YesNo}) ==
            MessageAnswer::Yes)
            return {MapSettings::Run::Resume, std::move(found->map), std::move(found->path)};
    }
    return {MapSettings::Run::First, RescueMap(header), {}};
}

} // namespace orvel
