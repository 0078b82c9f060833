#pragma once

#include <cstdint>

namespace orvel {

// Messages between the panels, the host, the progress window and the worker.
// The values are those the windows have always used; they travel without
// parameters unless noted.
inline constexpr std::uint32_t WM_SHOW_IMAGING = 0x464;
inline constexpr std::uint32_t WM_SHOW_CLONING = 0x465;
inline constexpr std::uint32_t WM_SHOW_HEALTH = 0x466;
inline constexpr std::uint32_t WM_SHOW_HOME = 0x467;
inline constexpr std::uint32_t WM_COPY_START = 0x468;
inline constexpr std::uint32_t WM_SHOW_RESTORE = 0x469;
inline constexpr std::uint32_t WM_COPY_PROGRESS = 0x8002;
inline constexpr std::uint32_t WM_SHOW_ATTRIBUTES = 5025;  // with the clicked drive
inline constexpr std::uint32_t WM_CLOSE_MAIN = 2025;

// The progress window's one-second clock.
inline constexpr std::uint32_t PROGRESS_TIMER_ID = 502;
inline constexpr int kProgressTimerMilliseconds = 1000;

} // namespace orvel
