#include "panels/health/explorer_theme.h"

#include <QLibrary>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace orvel {

namespace {

// The theme library's entry points as a 64-bit build calls them: window and
// theme handles are pointers, texts are UTF-16, results are HRESULTs.
using OpenThemeDataFunction = void* (*)(void* window, const char16_t* classList);
using CloseThemeDataFunction = std::int32_t (*)(void* theme);
using SetWindowThemeFunction = std::int32_t (*)(void* window, const char16_t* appName, const char16_t* idList);

void applyWithLibrary(QLibrary& uxTheme, QWidget& list)
{
    const auto openThemeData = reinterpret_cast<OpenThemeDataFunction>(uxTheme.resolve("OpenThemeData"));
    const auto closeThemeData = reinterpret_cast<CloseThemeDataFunction>(uxTheme.resolve("CloseThemeData"));
    const auto setWindowTheme = reinterpret_cast<SetWindowThemeFunction>(uxTheme.resolve("SetWindowTheme"));
    if (openThemeData == nullptr || closeThemeData == nullptr || setWindowTheme == nullptr)
        return;

    // No theme data for list views means themes are switched off.
    void* const window = reinterpret_cast<void*>(list.winId());
    void* const theme = openThemeData(window, u"ListView");
    if (theme == nullptr)
        return;
    closeThemeData(theme);
    setWindowTheme(window, u"Explorer", nullptr);
}

} // namespace

void ApplyExplorerTheme(QWidget& list)
{
    QLibrary uxTheme(QStringLiteral("UxTheme"));
    if (!uxTheme.load())
        return;
    applyWithLibrary(uxTheme, list);
    uxTheme.unload();
}

} // namespace orvel
