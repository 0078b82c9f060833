#pragma once

// Message boxes as the recording host writes them down: caption | icon |
// buttons | text.
namespace orvel::test {

inline constexpr const char* kConfirmClone =
    "Confirm | question | yes/no | Are you sure for selected source drive and destination drive ?";
inline constexpr const char* kConfirmImaging =
    "Confirm | question | yes/no | Are you sure for selected source drive and destination path ?";
inline constexpr const char* kCancelQuestion =
    "Confirm | question | yes/no | Are you sure? Please press cancel button for cancelling the operation.";
inline constexpr const char* kCompleted = "Orvel Disk Image | information | ok | Operation is completed.";

} // namespace orvel::test
