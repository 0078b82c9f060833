#include "panels/posted_call.h"

namespace orvel {

std::mutex& postedCallFence()
{
    static std::mutex fence;
    return fence;
}

} // namespace orvel
