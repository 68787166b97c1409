#include "base/view/frameplacement.h"

#include "base/ports/profile.h"

#include <algorithm>

namespace dromo {

// The classic rule read anything outside 0..1200 as 200 or 600, which
// turned every window wider than about 1200 pixels into a 600-pixel one and
// knew nothing of the screen. The rectangle is kept as the user left it and
// fitted to the screen instead.
// The classic first window, 600 wide, showed six of the list's nine columns
// and left the reason of a failure off to the right.
namespace {

// Three fifths of the screen, or what the columns need, within nine tenths
// of it; the classic 600 at the least.
int FirstWidth(const ScreenArea& screen, int columns)
{
    const int wanted = std::max({600, columns, screen.width * 3 / 5});
    return std::min(wanted, std::max(600, screen.width * 9 / 10));
}

}  // namespace

Placement PlacementFromSaved(const SavedPlacement& saved, const ScreenArea& screen, int firstWidth)
{
    Placement p;
    const bool sized = saved.right - saved.left > 0 && saved.bottom - saved.top > 0;
    p.width = sized ? saved.right - saved.left : FirstWidth(screen, firstWidth);
    p.height = sized ? saved.bottom - saved.top : std::max(400, screen.height * 3 / 5);
    p.width = std::min(std::max(p.width, kMinWidth), std::max(screen.width, kMinWidth));
    p.height = std::min(std::max(p.height, kMinHeight), std::max(screen.height, kMinHeight));
    if (!sized) {
        p.x = screen.x + (screen.width - p.width) / 2;
        p.y = screen.y + (screen.height - p.height) / 2;
        return p;
    }
    p.x = std::clamp(saved.left, screen.x, std::max(screen.x, screen.x + screen.width - p.width));
    p.y = std::clamp(saved.top, screen.y, std::max(screen.y, screen.y + screen.height - p.height));
    return p;
}

SavedPlacement PlacementToSave(int left, int top, int right, int bottom, bool maximized)
{
    return {left, top, right, bottom, maximized};
}

SavedPlacement ReadPlacement(Profile& profile)
{
    return {profile.GetInt("Settings", "MainWnd Left", 0), profile.GetInt("Settings", "MainWnd Top", 0),
            profile.GetInt("Settings", "MainWnd Right", 0), profile.GetInt("Settings", "MainWnd Bottom", 0),
            profile.GetInt("Settings", "MainWnd Maximized", 0) != 0};
}

void WritePlacement(Profile& profile, const SavedPlacement& p)
{
    profile.WriteInt("Settings", "MainWnd Left", p.left);
    profile.WriteInt("Settings", "MainWnd Top", p.top);
    profile.WriteInt("Settings", "MainWnd Right", p.right);
    profile.WriteInt("Settings", "MainWnd Bottom", p.bottom);
    profile.WriteInt("Settings", "MainWnd Maximized", p.maximized ? 1 : 0);
}

ToolWindowPlaces FirstToolWindowPlaces(const ScreenArea& screen, int speedBarWidth, int speedBarHeight, int basketWidth,
                                       int basketHeight)
{
    ToolWindowPlaces p;
    const int bottom = screen.y + screen.height - kToolWindowMargin;
    p.speedBarX = std::max(screen.x, screen.x + screen.width - kToolWindowMargin - speedBarWidth);
    p.speedBarY = std::max(screen.y, bottom - speedBarHeight);
    p.basketX = std::max(screen.x, p.speedBarX - kToolWindowMargin - basketWidth);
    p.basketY = std::max(screen.y, bottom - basketHeight);
    return p;
}

bool HasSavedCorner(Profile& profile, const char* xName, const char* yName)
{
    // Two different defaults tell a missing value from any stored one.
    return profile.GetInt("Settings", xName, 0) == profile.GetInt("Settings", xName, 1) &&
           profile.GetInt("Settings", yName, 0) == profile.GetInt("Settings", yName, 1);
}

}  // namespace dromo
