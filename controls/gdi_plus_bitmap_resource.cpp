#include "controls/gdi_plus_bitmap_resource.h"

#include "controls/resource_lookup.h"

#include <QByteArray>
#include <QFile>

namespace orvel {

bool CGdiPlusBitmapResource::Load(std::uint32_t id)
{
    Empty();
    const auto resourceId = static_cast<std::uint16_t>(id & 0xFFFFu);
    if (resourceId == 0)
        return false;

    QFile resource(resourcePath(ResourceType::Png, resourceId));
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = resource.readAll();
    if (bytes.isEmpty())
        return false;

    QImage decoded;
    if (!decoded.loadFromData(bytes, "PNG"))
        return false;
    bitmap_ = std::make_unique<QImage>(decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return true;
}

} // namespace orvel
