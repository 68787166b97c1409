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

// The part of a screen a window may cover, in the device-independent pixels
// the window's own geometry is measured in (so a scale factor of 2 halves it).
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the window opens: the rectangle the user left, made to fit the
// screen it is on. Nothing saved (no width or no height) gives 600 x 400
// centred; a size is cut to the screen and kept at least kMinWidth x
// kMinHeight; the window is moved, not shrunk, to lie wholly on the screen.
Placement PlacementFromSaved(const SavedPlacement& saved, const ScreenArea& screen);

// What is stored for a window rectangle: the rectangle itself (the reading
// side fits it to whatever screen there is at the next start).
SavedPlacement PlacementToSave(int left, int top, int right, int bottom);

SavedPlacement ReadPlacement(Profile& profile);
void WritePlacement(Profile& profile, const SavedPlacement& placement);

inline constexpr int kMinWidth = 200;
inline constexpr int kMinHeight = 150;

}  // namespace dromo
