#include "tests/gui/shell_test_support.h"

namespace orvel::test {

OpenedFiles::OpenedFiles()
{
    // Qt calls the handler's slot by name.
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
}

OpenedFiles::~OpenedFiles()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

} // namespace orvel::test
