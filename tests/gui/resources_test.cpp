#include "controls/resource_lookup.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(ProgramResources, PanelPicturesAreOpaqueAndSixHundredByFourHundred)
{
    for (const std::uint16_t id : {kHomePictureId, kCloningPictureId, kImagingPictureId, kRestorePictureId}) {
        const QImage picture = loadBitmapResource(id);
        ASSERT_FALSE(picture.isNull()) << "picture " << id << " is missing";
        EXPECT_EQ(picture.size(), QSize(600, 400)) << "picture " << id;
        EXPECT_FALSE(picture.hasAlphaChannel()) << "picture " << id;
    }
    EXPECT_TRUE(loadBitmapResource(317).isNull()) << "a PNG image is not a picture";
}

TEST(ProgramResources, HelpImageIsWhiteOnTransparent)
{
    const QImage image(resourcePath(ResourceType::Png, kHelpImageId));
    ASSERT_EQ(image.size(), QSize(24, 24));
    ASSERT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "corners are transparent";
    int opaqueWhite = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            opaqueWhite += image.pixelColor(x, y) == QColor(255, 255, 255, 255) ? 1 : 0;
    EXPECT_GT(opaqueWhite, 40) << "too little of the image shows on the black button";
}

TEST(ProgramResources, ApplicationIconHasBothSizes)
{
    const QIcon icon = loadIconResource(kApplicationIconId);
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(64, 64)));
    EXPECT_TRUE(sizes.contains(QSize(128, 128)));
    EXPECT_TRUE(loadIconResource(129).isNull());
}

TEST(ProgramResources, HelpFileSitsBesideTheExecutable)
{
    const QString helpPath =
        QFileInfo(QStringLiteral(ORVEL_EXECUTABLE)).absolutePath() + QStringLiteral("/Orvel Disk Image.html");
    QFile help(helpPath);
    ASSERT_TRUE(help.open(QIODevice::ReadOnly)) << helpPath.toStdString() << " is missing";
    const QByteArray page = help.readAll();
    EXPECT_TRUE(page.contains("<title>Orvel Disk Image"));
    EXPECT_TRUE(page.contains("** BAD SECTORS **")) << "the guide shows the bad-sector marker";
}

} // namespace
} // namespace orvel
