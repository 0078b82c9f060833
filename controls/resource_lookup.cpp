#include "controls/resource_lookup.h"

#include <QDir>

// The resources live in a static library, where nothing would pull their
// object file into the program unless it is named once.
static void registerProgramResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace orvel {

QString resourcePath(ResourceType type, std::uint16_t id)
{
    static const bool registered = (registerProgramResources(), true);
    (void)registered;
    switch (type) {
    case ResourceType::Bitmap:
        return QStringLiteral(":/res/bitmap/%1.png").arg(id);
    case ResourceType::Png:
        return QStringLiteral(":/res/png/%1.png").arg(id);
    case ResourceType::Icon:
        return QStringLiteral(":/res/icon/%1").arg(id);
    }
    return {};
}

QImage loadBitmapResource(std::uint16_t id)
{
    return QImage(resourcePath(ResourceType::Bitmap, id));
}

QIcon loadIconResource(std::uint16_t id)
{
    const QDir folder(resourcePath(ResourceType::Icon, id));
    QIcon icon;
    for (const QString& file : folder.entryList(QDir::Files, QDir::Name))
        icon.addFile(folder.filePath(file));
    return icon;
}

} // namespace orvel
