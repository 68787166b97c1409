#include "mainwindow/frameplacement.h"

#include "core/profile.h"

namespace dromo {
namespace {

int Clamp(int value, int replacement)
{
    return value > 1200 || value < 0 ? replacement : value;
}

}  // namespace

Placement PlacementFromSaved(const SavedPlacement& saved, int screenWidth, int screenHeight)
{
    const int left = Clamp(saved.left, 200);
    const int top = Clamp(saved.top, 200);
    const int right = Clamp(saved.right, 600);
    const int bottom = Clamp(saved.bottom, 600);
    Placement p;
    // A right left of the left edge would give a negative size; it is no
    // size at all, like zero.
    p.width = right - left > 0 ? right - left : 600;
    p.height = bottom - top > 0 ? bottom - top : 400;
    p.x = left == 0 ? (screenWidth - p.width) / 2 : left;
    p.y = top == 0 ? (screenHeight - p.height) / 2 : top;
    return p;
}

SavedPlacement PlacementToSave(int left, int top, int right, int bottom)
{
    return {left > 1200 ? 200 : left, top > 1200 ? 200 : top, right > 1200 ? 600 : right,
            bottom > 1200 ? 600 : bottom};
}

SavedPlacement ReadPlacement(Profile& profile)
{
    return {profile.GetInt("Settings", "MainWnd Left", 0), profile.GetInt("Settings", "MainWnd Top", 0),
            profile.GetInt("Settings", "MainWnd Right", 0), profile.GetInt("Settings", "MainWnd Bottom", 0)};
}

void WritePlacement(Profile& profile, const SavedPlacement& p)
{
    profile.WriteInt("Settings", "MainWnd Left", p.left);
    profile.WriteInt("Settings", "MainWnd Top", p.top);
    profile.WriteInt("Settings", "MainWnd Right", p.right);
    profile.WriteInt("Settings", "MainWnd Bottom", p.bottom);
}

}  // namespace dromo
