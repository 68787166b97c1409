#pragma once

namespace dromo {

class Profile;

// The main window's rectangle as stored ("MainWnd Left/Top/Right/Bottom").
struct SavedPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the window opens: stored values outside 0..1200 are corrected
// (left/top to 200, right/bottom to 600), a zero (or negative) size becomes
// 600 x 400, and a left or top of 0 centres the window on the screen.
Placement PlacementFromSaved(const SavedPlacement& saved, int screenWidth, int screenHeight);

// What is stored for a window rectangle: a left or top above 1200 is written
// as 200, a right or bottom above 1200 as 600; there is no lower bound.
SavedPlacement PlacementToSave(int left, int top, int right, int bottom);

SavedPlacement ReadPlacement(Profile& profile);
void WritePlacement(Profile& profile, const SavedPlacement& placement);

}  // namespace dromo
