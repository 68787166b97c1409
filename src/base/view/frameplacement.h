#pragma once

namespace dromo {

class Profile;

// The main window's rectangle as stored ("MainWnd Left/Top/Right/Bottom"):
// the normal one, which a maximised window goes back to. Newer than those,
// "MainWnd Maximized" says whether the window was maximised.
struct SavedPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool maximized = false;
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
// screen it is on. Nothing saved (no width or no height) gives a window
// sized to the screen, centred: three fifths of its height (400 at the
// least), three fifths of its width or `firstWidth` (what shows every
// column of the list) when that is more, within nine tenths of it and no
// narrower than 600; a
// size is cut to the screen and kept at least kMinWidth x kMinHeight; the
// window is moved, not shrunk, to lie wholly on the screen.
Placement PlacementFromSaved(const SavedPlacement& saved, const ScreenArea& screen, int firstWidth = 600);

// What is stored for a window rectangle: the rectangle itself (the reading
// side fits it to whatever screen there is at the next start).
SavedPlacement PlacementToSave(int left, int top, int right, int bottom, bool maximized = false);

SavedPlacement ReadPlacement(Profile& profile);
void WritePlacement(Profile& profile, const SavedPlacement& placement);

inline constexpr int kMinWidth = 200;
inline constexpr int kMinHeight = 150;

// The speed bar's and the drop basket's top-left corners.
struct ToolWindowPlaces {
    int speedBarX = 0;
    int speedBarY = 0;
    int basketX = 0;
    int basketY = 0;
};

// Where the two tool windows open before the user has put them anywhere:
// side by side in the bottom right corner of the screen (the basket left of
// the speed bar), clear of each other and of a window's title and menu bar,
// which a maximised main window has at the top.
ToolWindowPlaces FirstToolWindowPlaces(const ScreenArea& screen, int speedBarWidth, int speedBarHeight, int basketWidth,
                                       int basketHeight);

// Whether the profile holds both values of a saved corner ("SpeedBar X",
// "SpeedBar Y"); the options hold the old defaults until it does.
bool HasSavedCorner(Profile& profile, const char* xName, const char* yName);

inline constexpr int kToolWindowMargin = 8;

}  // namespace dromo
