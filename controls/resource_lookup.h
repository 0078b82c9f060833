#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

#include <cstdint>

namespace orvel {

// The program's resources are compiled in with Qt's resource system
// (resources/resources.qrc) and found by the numeric ids the windows use.
enum class ResourceType {
    Bitmap,  // full pictures drawn stretched behind a panel
    Png,     // small images with alpha drawn on buttons
    Icon,    // the application icon, one file per size
};

inline constexpr std::uint16_t kApplicationIconId = 128;
inline constexpr std::uint16_t kHomePictureId = 310;
inline constexpr std::uint16_t kCloningPictureId = 311;
inline constexpr std::uint16_t kImagingPictureId = 312;
inline constexpr std::uint16_t kRestorePictureId = 313;
inline constexpr std::uint16_t kHelpImageId = 317;

// The resource path of a resource; for an icon, the folder holding its sizes.
QString resourcePath(ResourceType type, std::uint16_t id);

// A picture by id; a null image when there is none.
QImage loadBitmapResource(std::uint16_t id);

// An icon with every size it has; a null icon when there is none.
QIcon loadIconResource(std::uint16_t id);

} // namespace orvel
