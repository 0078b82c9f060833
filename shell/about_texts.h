#pragma once

namespace orvel {

// Texts of the application and its About box.
inline constexpr char kApplicationTitle[] = "Orvel Disk Image";
inline constexpr char kAboutCaption[] = "About Vantor";
inline constexpr char kAboutVersionLine[] = "Vantor, Version 1.0";
inline constexpr char kAboutSecondLine[] = "Clones, images and checks the health of disks.";

} // namespace orvel
